// Renders the stand-in main window in skins for review, on any platform Qt offers:
//   skin_preview OUTPUT_FOLDER [SKIN ...]      (no skin numbers: all 33, and the unskinned look)
// writes OUTPUT_FOLDER/skin-<n>.png, and unskinned.png. Not a test; a tool for judging skins.
#include "skinlib/skinh_api.h"
#include "skins/embedded_skins.h"
#include "stand_in_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLibrary>
#include <QPixmap>
#include <QRadioButton>

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fputs("usage: skin_preview OUTPUT_FOLDER [SKIN ...]\n", stderr);
        return 2;
    }
    const QDir output(arguments.first());
    QDir().mkpath(output.path());

    QLibrary library(QStringLiteral(QUARNEL_SKIN_LIBRARY));
    const auto attach = reinterpret_cast<quarnel::skinh::AttachRes>(
        library.resolve(quarnel::skinh::attachFunctionName));
    if (attach == nullptr) {
        std::fprintf(stderr, "%s\n", qPrintable(library.errorString()));
        return 1;
    }

    std::vector<int> numbers;
    for (const QString &number : arguments.mid(1))
        numbers.push_back(number.toInt());
    if (numbers.empty()) {
        auto window = quarnel::testing::makeStandInMainWindow();
        window->grab().save(output.filePath(QStringLiteral("unskinned.png")));
        for (int number = quarnel::skins::firstSkin; number <= quarnel::skins::lastSkin; ++number)
            numbers.push_back(number);
    }

    for (const int number : numbers) {
        const QByteArrayView blob = quarnel::skins::embeddedSkin(number);
        const std::int32_t result =
            attach(blob.data(), static_cast<std::uint32_t>(blob.size()), "", 0, 0, 0);
        if (result != quarnel::skinh::Applied) {
            std::fprintf(stderr, "skin %d refused: %d\n", number, result);
            return 1;
        }
        auto window = quarnel::testing::makeStandInMainWindow();
        // One radio marked and one selector disabled, as during a drill.
        window->findChild<QRadioButton *>(QStringLiteral("单选框_数1隐藏"))->setChecked(true);
        window->findChild<QComboBox *>(QStringLiteral("组合框_时间"))->setEnabled(false);
        window->grab().save(output.filePath(QStringLiteral("skin-%1.png").arg(number)));
    }
    return 0;
}
