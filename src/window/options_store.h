// The new options in the desktop's settings file, $XDG_CONFIG_HOME/voltrax/voltrax.ini
// (INI, through QSettings). The 31-byte options record in dat/ is never touched here.
#pragma once

#include <QString>

#include "frontend/new_options.h"

namespace vx {

// $XDG_CONFIG_HOME/voltrax/voltrax.ini (~/.config when the variable is unset).
QString NewOptionsPath();

// Missing file or entries give the defaults; a key code out of range gives the
// standard key for that row.
NewOptions LoadNewOptions(const QString& path = NewOptionsPath());
// False when the file could not be written (the options still apply this session).
bool SaveNewOptions(const NewOptions& options, const QString& path = NewOptionsPath());

}  // namespace vx
