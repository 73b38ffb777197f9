// The stage line drawings `LinePict` and `St3`, drawn from the stage tables: every
// wall as the diagonal of its rectangle, the corner posts, the bumper circles. The views
// say where each stage lands in which picture; the tests read them to check the lines.
#pragma once

#include <vector>

#include "core/stage_tables.h"

class QImage;

namespace gen {

constexpr int kLinePictWidth = vx::LinePictureSize(vx::LinePicture::kLinePict).w;
constexpr int kLinePictHeight = vx::LinePictureSize(vx::LinePicture::kLinePict).h;
constexpr int kSt3Width = vx::LinePictureSize(vx::LinePicture::kSt3).w;
constexpr int kSt3Height = vx::LinePictureSize(vx::LinePicture::kSt3).h;

// Picture pixel = origin + (table coordinate - table origin) * scale.
struct StageView {
    int stage;
    int left, top, width, height;  // the region of the picture that belongs to this stage
    double originX, originY;       // picture position of the table origin
    double tableX, tableY;         // table origin
    double scale;
};

// The thumbnails are drawn at this scale into the 200 x 130 layout area of the stage
// select screen, whose miniature table (in "stagec") uses the same mapping.
constexpr double kThumbScale = 0.45;
constexpr double kThumbLeft = 14.0;
constexpr double kThumbTop = 6.0;

// The views of one line picture, from the stage table: each stage's drawing there, and
// in LinePict also the thumbnails (the table's field corner (66, 61) at the thumbnail's
// (kThumbLeft, kThumbTop)).
inline std::vector<StageView> PictureViews(vx::LinePicture picture) {
    std::vector<StageView> views;
    for (int n = 1; n <= vx::kStageCount; ++n) {
        const vx::StageLines& l = vx::StageFacts(n).lines;
        if (l.picture != picture) continue;
        const vx::Box& s = l.source;
        views.push_back(
            {n, s.x, s.y, s.w, s.h, double(s.x), double(s.y), double(l.at.x), double(l.at.y), 1.0});
    }
    if (picture != vx::LinePicture::kLinePict) return views;
    for (int n = 1; n <= vx::kStageCount; ++n) {
        const vx::Box& t = vx::StageFacts(n).thumb;
        if (t.w == 0) continue;
        views.push_back({n, t.x, t.y, t.w, t.h, t.x + kThumbLeft, t.y + kThumbTop, 66, 61, kThumbScale});
    }
    return views;
}

inline std::vector<StageView> LinePictViews() {
    return PictureViews(vx::LinePicture::kLinePict);
}

// St3 holds one stage's drawing.
inline StageView St3View() {
    return PictureViews(vx::LinePicture::kSt3).front();
}

QImage DrawLinePict();
QImage DrawSt3();

}  // namespace gen
