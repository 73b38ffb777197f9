#!/bin/sh
# Starts the installed program from its own folder, where it finds dat/ and design/.
here=$(dirname "$(readlink -f "$0")")
exec "$here/../lib/voltrax/voltrax" "$@"
