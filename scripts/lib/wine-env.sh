# Environment for running Wine headless with the project's prefix.
# The caller sets VORN_ROOT; VORN_WINEPREFIX, VORN_WINEARCH (win64, or
# win32 in the test guest) and DISPLAY may be preset.
: "${VORN_WINEPREFIX:=$VORN_ROOT/build/wineprefix}"
export WINEPREFIX="$VORN_WINEPREFIX"
export WINEARCH="${VORN_WINEARCH:-win64}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
: "${DISPLAY:=:97}"
export DISPLAY
