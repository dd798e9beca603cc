# Sourced by the benchmarks that run the shipped encoder with the job's own arguments: installs
# and builds what they need, the native tool that prints those arguments, and Wine's settings;
# $work is a scratch folder that goes when the script ends.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash tools/install-deps.sh > /dev/null
bash tools/build.sh > /dev/null
cmake --build build/native --target encoder_arguments > /dev/null
source tools/wine-env.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
