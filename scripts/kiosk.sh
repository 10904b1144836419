# Sourced by the scripts that drive the running program under a virtual X
# display. start_kiosk WIDTH HEIGHT starts the program in the working directory
# (program: its process id, ended with the script), waits until the loading
# window has gone and the main window is up, places that window at the top left
# in the size given and sets main_window to its id; it fails when the program
# ends first or the window does not come within two minutes.
start_kiosk() {
  local width=$1 height=$2 small window window_width
  ./pellavio >/dev/null 2>&1 &
  program=$!
  trap 'kill "$program" 2>/dev/null || true' EXIT
  main_window=""
  # The loading window is small; the main window is never narrower than 800.
  for _ in $(seq 1 600); do
    kill -0 "$program" 2>/dev/null || { echo "The program ended before its window opened." >&2; return 1; }
    small=0
    main_window=""
    for window in $(xdotool search --onlyvisible --name '^Vovo del Pellavio$' 2>/dev/null); do
      window_width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
      if [ "$window_width" -ge 800 ]; then main_window=$window; else small=1; fi
    done
    [ -n "$main_window" ] && [ "$small" -eq 0 ] && break
    sleep 0.2
  done
  [ -n "$main_window" ] || { echo "The main window did not come up." >&2; return 1; }
  xdotool windowmove "$main_window" 0 0 windowsize "$main_window" "$width" "$height"
}
