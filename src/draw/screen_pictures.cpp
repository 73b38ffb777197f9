#include "draw/screen_pictures.h"

#include <initializer_list>
#include <iostream>

#include "core/game.h"
#include "platform/asset_paths.h"
#include "platform/picture_file.h"
#include "platform/program_files.h"
#include "platform/surface.h"
#include "sound/music.h"

namespace vx {

namespace {

// Where the empty gauge sits on the table picture, and where the gauge drawing wants it.
constexpr int kGaugeX = 117, kGaugeY = 293, kGaugeW = 280, kGaugeH = 15;
constexpr int kStoredGaugeX = 0, kStoredGaugeY = 411;

}  // namespace

void StopForMissingPicture(Game& g, const std::string& message) {
    if (g.FatalMessage.empty()) {
        g.FatalMessage = message;
        std::cerr << "voltrax: " << message << "\n";
    }
    EndTheProgram(g);
}

bool LoadScreenPicture(Game& g, const char* gamePath, Surface& dest) {
    Surface picture;
    std::string error;
    if (!g.pictureLoader.Load(g.files.Resolve(gamePath), picture, error)) {
        StopForMissingPicture(g, error);
        return false;
    }
    BitBlt(dest, 0, 0, picture.Width(), picture.Height(), &picture, 0, 0, BlitOp::kCopy);
    // A table picture that stops short of the stored gauge row gets it from the gauge's
    // place on the table, so the gauge drawing always has its empty image.
    if (&dest == &g.BufPict && picture.Height() <= kStoredGaugeY &&
        EqualsIgnoringAsciiCase(gamePath, asset::kTablePicture)) {
        BitBlt(g.BufPict, kStoredGaugeX, kStoredGaugeY, kGaugeW, kGaugeH, &g.BufPict, kGaugeX, kGaugeY,
               BlitOp::kCopy);
    }
    return true;
}

namespace {

struct DesignEntry {
    const char* gamePath;
    Surface* into;
};

// Each picture goes straight into its surface, whose memory is already there; one of
// another size lands in a white surface of the right size, clipped at its edges.
bool LoadDesignEntries(Game& g, std::initializer_list<DesignEntry> entries) {
    for (const DesignEntry& e : entries) {
        const int w = e.into->Width(), h = e.into->Height();
        std::string error;
        if (!g.pictureLoader.Load(g.files.Resolve(e.gamePath), *e.into, error)) {
            g.FatalMessage = error;
            return false;
        }
        if (e.into->Width() != w || e.into->Height() != h) {
            const Surface picture = std::move(*e.into);
            *e.into = Surface(w, h, kWhite);
            BitBlt(*e.into, 0, 0, picture.Width(), picture.Height(), &picture, 0, 0, BlitOp::kCopy);
        }
    }
    return true;
}

}  // namespace

bool LoadTitleDesignPictures(Game& g) {
    return LoadDesignEntries(g, {{asset::kSpriteSheet, &g.Pict}});
}

bool LoadStageDesignPictures(Game& g) {
    return LoadDesignEntries(g, {
                                    {asset::kStageLines, &g.LinePict},
                                    {asset::kStage3Overlay, &g.St3},
                                    {asset::kStageMask, &g.Mas},
                                });
}

bool LoadDesignPictures(Game& g) {
    return LoadTitleDesignPictures(g) && LoadStageDesignPictures(g);
}

}  // namespace vx
