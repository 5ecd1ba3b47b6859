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

# A new prefix takes one to three minutes under emulation: the first one
# made in this guest is kept in the state share and unpacked on later boots.
# It is saved straight after wineboot, before any test has run in it.
mount_state() {
  mkdir -p /state
  mountpoint -q /state || mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose state /state
}

session_start() {
  kept=/state/wineprefix-$VORN_WINEARCH.tar
  if mount_state && [ -f "$kept" ] && [ ! -d "$WINEPREFIX" ]; then
    tar -C "$(dirname "$WINEPREFIX")" -xf "$kept" || rm -rf "$WINEPREFIX"
  fi
  "$VORN_ROOT/scripts/lib/wine-session" start || return 1
  if mountpoint -q /state && [ ! -f "$kept" ]; then
    tar -C "$(dirname "$WINEPREFIX")" -cf "$kept.part" "$(basename "$WINEPREFIX")" &&
      mv "$kept.part" "$kept"
  fi
  wineserver -p
  # The first program of a server starts Wine's system processes, which
  # then live as long as this persistent server: started here, they hold
  # no test's output open (CTest waits for that to close).
  "$VORN_ROOT/scripts/lib/wine-run" cmd.exe /c exit >/dev/null 2>&1 </dev/null
  step "wine session (Xvfb, $VORN_WINEARCH prefix, virtual desktop)"
}

session_stop() {
  "$VORN_ROOT/scripts/lib/wine-session" stop
}
