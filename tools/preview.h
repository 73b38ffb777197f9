// The contact sheet build/assets-preview.png: the sprite sheet with every rectangle
// outlined and named, and each screen as the game composes it.
#pragma once

#include <QImage>

namespace gen {

struct AssetSet {
    QImage sheet, linePict, st3, title, stageSelect, waiting, battle, about, items;
};

QImage DrawContactSheet(const AssetSet& a);

}  // namespace gen
