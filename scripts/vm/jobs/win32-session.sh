# Sourced by guest jobs: a headless Wine session for the i686 programs, as
# scripts/lib/wine-session makes it on the machine (Xvfb, Wine's virtual
# desktop), but with a 32-bit prefix on the guest's own disk, and with a
# wineserver that stays up between programs (a cold start of a 32-bit
# program takes about ten seconds under emulation, a warm one about one).
# For a session of the 64-bit companion pair, a job sets VORN_WINEARCH=win64
# before sourcing this: the guest has wine64 and wine32 both, so such a
# prefix runs 32-bit and 64-bit programs side by side.
# The job runs from the repository root. Provides: step, session_start,
# session_stop.
VORN_ROOT=$(pwd)
: "${VORN_WINEARCH:=win32}"
: "${VORN_WINEPREFIX:=/root/wine-$VORN_WINEARCH}"
DISPLAY=:32
export VORN_ROOT VORN_WINEARCH VORN_WINEPREFIX DISPLAY
. "$VORN_ROOT/scripts/lib/wine-env.sh"

step_started=$(date +%s)
# step NAME: the seconds since the previous step, for the stage's timings.
step() {
  now=$(date +%s)
  echo "vm-timing: $1 $(( now - step_started )) s"
  step_started=$now
}

session_start() {
  "$VORN_ROOT/scripts/lib/wine-session" start || return 1
  wineserver -p
  step "wine session (Xvfb, $VORN_WINEARCH prefix, virtual desktop)"
}

session_stop() {
  "$VORN_ROOT/scripts/lib/wine-session" stop
}
