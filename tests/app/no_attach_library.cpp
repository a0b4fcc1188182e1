// A loadable library named SkinH_EL.dll that lacks SkinH_AttachRes: the program must unload
// it and try no other place.
extern "C" __attribute__((visibility("default"))) int SkinH_Attach()
{
    return 0;
}
