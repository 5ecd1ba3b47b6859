# Environment for running Wine headless with the project's prefix.
# The caller sets VORN_ROOT; VORN_WINEPREFIX and DISPLAY may be preset.
: "${VORN_WINEPREFIX:=$VORN_ROOT/build/wineprefix}"
export WINEPREFIX="$VORN_WINEPREFIX"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
: "${DISPLAY:=:97}"
export DISPLAY
