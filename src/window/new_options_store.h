// Reads and writes NewOptions in the desktop's settings file,
// $XDG_CONFIG_HOME/voltrax/voltrax.ini (~/.config when unset), through Qt's settings
// class. A missing file or key gives the option's default.
#pragma once

#include "frontend/new_options.h"

namespace vx {

NewOptions LoadNewOptions();
void SaveNewOptions(const NewOptions& options);

}  // namespace vx
