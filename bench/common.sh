# Sourced by the bench scripts after they set `root` (the checkout).

# The Windows build to run: TESSARO_WINE_ARCH when set, else the 32-bit one
# where this host can run it, else the 64-bit one.
bench_arch() {
  if [ -n "${TESSARO_WINE_ARCH:-}" ]; then
    echo "$TESSARO_WINE_ARCH"
  elif "$root/tests/harness/can-run-win32.sh" >/dev/null; then
    echo win32
  else
    echo win64
  fi
}

# write_figures NAME TEXT: TEXT replaces what stands between bench/README.md's
# <!-- NAME --> and <!-- /NAME --> markers.
write_figures() {
  python3 - "$root/bench/README.md" "$1" "$2" <<'PY'
import sys
path, name, results = sys.argv[1], sys.argv[2], sys.argv[3]
text = open(path, encoding="utf-8").read()
begin, end = "<!-- %s -->" % name, "<!-- /%s -->" % name
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(path, "w", encoding="utf-8").write(head + begin + "\n" + results + "\n" + end + tail)
PY
}
