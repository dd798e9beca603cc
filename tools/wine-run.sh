#!/bin/bash
# Runs a Windows program under Wine in the build tree's private prefix (CTest's emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-settings.sh"
exec wine "$@"
