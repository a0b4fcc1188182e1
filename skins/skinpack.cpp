// Build-time packer: one skin text in, one .SHE blob out.
//   quarnel_skinpack INPUT.skin OUTPUT.she
// The blob is written beside its destination and renamed into place, so a failed run never
// leaves a half-written blob that the build would take as up to date.

#include "skinlib/skin_blob.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int fail(const std::string &message)
{
    std::fprintf(stderr, "quarnel_skinpack: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return fail("usage: quarnel_skinpack INPUT.skin OUTPUT.she");
    const std::filesystem::path input = argv[1];
    const std::filesystem::path output = argv[2];

    std::ifstream in(input, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof())
        return fail("cannot read " + input.string());

    namespace blob = quarnel::skinblob;
    const std::vector<std::uint8_t> packed = blob::encode(text);
    if (packed.empty())
        return fail(input.string() + ": empty, too large, or LZMA failed");
    // Whatever the library will see must decode back to the source exactly.
    if (const auto check = blob::decode(packed);
        check.status != blob::Status::Ok || check.text != text)
        return fail(input.string() +
                    ": does not decode back: " + std::string(blob::statusName(check.status)));

    std::filesystem::path partial = output;
    partial += ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(packed.data()),
                  static_cast<std::streamsize>(packed.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            return fail("cannot write " + partial.string());
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, output, error);
    if (error)
        return fail("cannot rename to " + output.string() + ": " + error.message());
    return 0;
}
