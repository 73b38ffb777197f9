// Asset generator: writes every picture, sound, tune and the help text of the game into
// the program folder given as the only argument.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "art.h"
#include "bmp_writer.h"
#include "music.h"
#include "preview.h"
#include "readme_text.h"
#include "screens.h"
#include "sheet_sprites.h"
#include "sound_effects.h"
#include "stage_lines.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    // Headless: the pictures are painted offscreen, no display is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (!gen::LoadFonts()) {
        std::fprintf(stderr, "assetgen: a font file is missing (fonts-dejavu-core, fonts-ipafont-gothic)\n");
        return 1;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    if (!root.mkpath("design") || !root.mkpath("dat")) {
        std::fprintf(stderr, "assetgen: cannot create folders in %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    auto bmp = [&](const QString& rel, const QImage& img) {
        ok = gen::WriteBmp24(root.filePath(rel), img) && ok;
    };
    auto bytes = [&](const QString& rel, const QByteArray& b) {
        ok = !b.isEmpty() && gen::WriteBytes(root.filePath(rel), b) && ok;
    };

    gen::AssetSet a;
    a.sheet = gen::DrawSpriteSheet();
    a.linePict = gen::DrawLinePict();
    a.st3 = gen::DrawSt3();
    a.title = gen::DrawTitlePicture();
    a.stageSelect = gen::DrawStageSelectPicture();
    a.waiting = gen::DrawWaitingPicture();
    a.battle = gen::DrawBattlePicture();
    a.about = gen::DrawAboutPicture();
    a.items = gen::DrawItemListPicture(a.sheet);

    bmp("design/Pict.bmp", a.sheet);
    bmp("design/LinePict.bmp", a.linePict);
    bmp("design/St3.bmp", a.st3);
    bmp("design/Mas.bmp", gen::DrawDitherPattern());
    bmp("design/Image1.bmp", gen::DrawInvisibleCursor());
    bmp("design/Image1Mask.bmp", gen::DrawInvisibleCursorMask());
    bmp("design/About.bmp", a.about);
    bmp("design/Items.bmp", a.items);
    bmp("dat/OP", a.title);
    bmp("dat/stagec", a.stageSelect);
    bmp("dat/bwait", a.waiting);
    bmp("dat/battle", a.battle);

    for (int n = 1; n <= gen::kEffectCount; ++n) bytes(QString("dat/wave%1.wav").arg(n), gen::MakeEffect(n));
    bytes("dat/opening.mid", gen::ComposeTitleTheme());
    bytes("dat/bgm1.mid", gen::ComposeMatchTheme());
    bytes("read me.txt", gen::ToCp932(gen::ReadMeUtf8()));
    const std::string english = gen::ReadMeEnglishUtf8(gen::ReadTranslations(VOLTRAX_ENGLISH_TS));
    if (english.empty())
        std::fprintf(stderr, "assetgen: a menu caption has no English in %s\n", VOLTRAX_ENGLISH_TS);
    bytes("read me.en.txt", QByteArray::fromStdString(english));

    // PNG output carries no time stamp of its own; keep it free of text chunks too.
    QImage preview = gen::DrawContactSheet(a);
    ok = preview.save(root.filePath("assets-preview.png"), "PNG") && ok;
    if (!ok) {
        std::fprintf(stderr, "assetgen: writing into %s failed\n", argv[1]);
        return 1;
    }
    return 0;
}
