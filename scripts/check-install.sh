#!/usr/bin/env bash
# Checks the Debian package as a Debian packager and a new user meet it: builds the package,
# reads it with lintian, desktop-file-validate and appstreamcli, then installs it on a clean
# Debian 12 (debootstrap --variant=minbase bookworm) twice, with and without recommended
# packages, and there, under Xvfb, as a normal user with LANG unset: the program starts, its
# window's class is the desktop entry's StartupWMClass, every text of the main window is drawn
# as on the development machine (the layouts are drawn for those fonts), Alt+A makes an archive
# that "yk t" passes, Alt+V shows a listing window whose Russian reads as in a UTF-8 terminal.
# Prints each check and a summary; ends non-zero if any check missed or could not be made.
#
# Needs root (debootstrap, chroot) and the network to Debian's mirror. The clean root is kept
# as a tarball in $WINYK_CHECK_CACHE (default /var/tmp/winyk-check), so reruns skip debootstrap;
# delete it to start from a fresh download. Not part of the test suite: it downloads a system.
set -uo pipefail
cd "$(dirname "$0")/.."
src=$PWD
cache=${WINYK_CHECK_CACHE:-/var/tmp/winyk-check}
mirror=${WINYK_CHECK_MIRROR:-http://deb.debian.org/debian}
started=$(date +%s)

summary=()
misses=0
pass() { echo "PASS: $*"; summary+=("PASS  $*"); }
miss() { echo "MISS: $*"; summary+=("MISS  $*"); misses=$((misses + 1)); }
# A check that could not be made is not a pass.
open() { echo "NOT CHECKED: $*"; summary+=("NOT CHECKED  $*"); misses=$((misses + 1)); }
finish() {
  echo
  echo "=== check-install summary ($(($(date +%s) - started)) s) ==="
  printf '%s\n' "${summary[@]}"
  if [ "$misses" -eq 0 ]; then echo "all checks passed"; else echo "$misses check(s) missed"; fi
  [ "$misses" -eq 0 ]
  exit
}
die() { miss "$*"; finish; }

[ "$(id -u)" -eq 0 ] || { echo "check-install.sh: needs root (debootstrap, chroot)"; exit 2; }
scripts/setup.sh dpkg-dev debootstrap lintian desktop-file-utils appstream xvfb xauth xdotool \
  imagemagick x11-utils xclip fonts-liberation2 >/dev/null || die "setup and build"

# ------------------------------------------------------------------ the package itself
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
arch=$(dpkg --print-architecture)
deb=$src/build/winyk_${version}_${arch}.deb
rm -f "$deb"
scripts/package.sh >/dev/null || die "package build"
[ -s "$deb" ] || die "no package $deb"
pass "package built: $(basename "$deb"), $(stat -c %s "$deb") bytes"

lintian_out=$(lintian --display-info --display-experimental --pedantic "$deb" 2>&1 |
  grep -v "running with root privileges")
echo "$lintian_out" | sed 's/^/  lintian: /'
if echo "$lintian_out" | grep -q '^[EW]:'; then
  miss "lintian: $(echo "$lintian_out" | grep -c '^[EW]:') error/warning tag(s)"
else
  pass "lintian: no error, no warning ($(echo "$lintian_out" | grep -c '^[IPX]:') info/pedantic tag(s), listed above)"
fi
if echo "$lintian_out" | grep -q 'hardening'; then
  miss "hardening: lintian names a missing hardening feature"
else
  pass "hardening: lintian finds fortify, stack protector, relro, bindnow and PIE in place"
fi

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop=$unpacked/usr/share/applications/winyk.desktop
if out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
  pass "desktop-file-validate: clean"
else
  miss "desktop-file-validate: $out"
fi
metainfo=$(ls "$unpacked"/usr/share/metainfo/*.metainfo.xml)
as_out=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1)
echo "$as_out" | sed 's/^/  appstreamcli: /'
if echo "$as_out" | grep -q '^[EW]:'; then
  miss "appstreamcli validate --pedantic: errors or warnings"
else
  pass "appstreamcli validate --pedantic --no-net: no error, no warning"
fi
for f in usr/share/doc/winyk/copyright usr/share/doc/winyk/changelog.gz \
  usr/share/man/man1/yk.1.gz usr/share/man/man1/yk32.1.gz \
  usr/share/man/ru/man1/yk.1.gz usr/share/man/ru/man1/yk32.1.gz \
  usr/share/man/man1/yk32-console.1.gz usr/share/man/ru/man1/yk32-console.1.gz \
  usr/share/icons/hicolor/scalable/apps/winyk.svg; do
  [ -s "$unpacked/$f" ] || miss "not in the package: /$f"
done
for size in 16 24 32 48 64 128 256; do
  f=$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/winyk.png
  [ "$(identify -format %wx%h "$f" 2>/dev/null)" = "${size}x${size}" ] || miss "icon ${size}x${size}"
done
pass "package holds copyright, changelog, 6 manual pages, 7 icon sizes and the SVG"
depends=$(dpkg-deb -f "$deb" Depends)
case $depends in
  *"fonts-liberation2 | fonts-liberation"*) pass "fonts are a dependency: $depends" ;;
  *) miss "fonts not in Depends: $depends" ;;
esac
wmclass_entry=$(sed -n 's/^StartupWMClass=//p' "$desktop")

# ------------------------------------------------------------------ a clean Debian 12
base=$cache/bookworm-minbase.tar.gz
mkdir -p "$cache"
if [ ! -s "$base" ]; then
  echo "Making a clean Debian 12 root (debootstrap --variant=minbase bookworm)..."
  fresh=$cache/debootstrap
  rm -rf "$fresh"
  debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    die "debootstrap (see $cache/debootstrap.log)"
  tar -C "$fresh" -czf "$base.part" . && mv "$base.part" "$base" || die "root tarball"
  rm -rf "$fresh"
fi
pass "clean Debian 12 root: $(du -h "$base" | cut -f1) tarball in $cache"

# Starts the host-side reference: the program of the build tree, for what the texts look like.
shots=$cache/shots
rm -rf "$shots"
mkdir -p "$shots"

# Unmounts whatever is mounted under a root (deepest first). The mounts are slaves of the host's,
# so nothing done under the root reaches the host's /dev or /proc.
release_root() {
  local m
  for m in $(awk -v r="$1/" 'index($2, r) == 1 { print $2 }' /proc/self/mounts | sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
  ! awk -v r="$1/" 'index($2, r) == 1 { found = 1 } END { exit !found }' /proc/self/mounts
}
trap 'for r in "$cache"/root-*; do release_root "$r"; done; rm -rf "$unpacked"' EXIT

# The part run under Xvfb for one root: start the installed program as the user "tester" with
# LANG unset, drive it with xdotool, and take the pictures the checks compare.
gui_checks() {
  local mode=$1 root=$2
  local user_env=(env -i HOME=/home/tester USER=tester LOGNAME=tester DISPLAY="$DISPLAY"
    XAUTHORITY=/home/tester/.Xauthority PATH=/usr/local/bin:/usr/bin:/bin)
  cp "$XAUTHORITY" "$root/home/tester/.Xauthority"
  chroot "$root" chown tester:tester /home/tester/.Xauthority
  local title="Win INterface for YK archiver v$version"
  windows() { xdotool search --onlyvisible --name . 2>/dev/null | sort; }
  # Takes the picture of a window once it is drawn (more than a few colours; a first start
  # builds the font cache first), after a second more for the rest to settle.
  shot() {
    local i
    for i in $(seq 120); do
      if import -window "$1" "$2" 2>/dev/null && [ "$(identify -format %k "$2")" -gt 8 ]; then
        sleep 1
        import -window "$1" "$2"
        return 0
      fi
      sleep 0.5
    done
    return 1
  }

  # The reference: the build tree's program on the same server, same size of screen.
  (cd "$shots" && XDG_CONFIG_HOME="$shots/config" exec "$src/build/yk32" >/dev/null 2>&1) &
  local refpid=$!
  local ref
  ref=$(timeout 30 xdotool search --sync --onlyvisible --name "$title" | head -n1)
  [ -n "$ref" ] && shot "$ref" "$shots/reference-$mode.png"
  kill $refpid 2>/dev/null; wait $refpid 2>/dev/null
  # Its window must be gone before the installed program's is looked for by the same title.
  for _ in $(seq 100); do
    [ -z "$(xdotool search --onlyvisible --name "$title" 2>/dev/null)" ] && break
    sleep 0.1
  done
  [ -z "$(xdotool search --onlyvisible --name "$title" 2>/dev/null)" ] ||
    miss "[$mode] the reference window did not close"

  chroot --userspec=tester:tester "$root" "${user_env[@]}" \
    sh -c 'cd /home/tester/files && exec yk32' >"$shots/yk32-$mode.log" 2>&1 &
  local pid=$!
  local win
  win=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name "$title" | head -n1)
  if [ -z "$win" ]; then
    miss "[$mode] the installed yk32 shows no main window ($(head -c 300 "$shots/yk32-$mode.log"))"
    kill $pid 2>/dev/null
    return
  fi
  pass "[$mode] installed yk32 started as a normal user with LANG unset: \"$title\""

  local wmclass
  wmclass=$(xprop -id "$win" WM_CLASS | sed 's/.*= //')
  case $wmclass in
    *"\"$wmclass_entry\"") pass "[$mode] WM_CLASS $wmclass matches StartupWMClass=$wmclass_entry" ;;
    *) miss "[$mode] WM_CLASS $wmclass, StartupWMClass=$wmclass_entry" ;;
  esac

  shot "$win" "$shots/main-$mode.png" || miss "[$mode] the main window is never drawn"
  # Every text of the window, compared with the same window drawn on the development machine
  # (where the layouts were made for Liberation Sans): menu bar and toolbar captions, the
  # archive-name label, the check box and the hint. Lists, path line, edit box and clock differ
  # by nature and are left out.
  local region bad=()
  for region in 593x80+0+0 94x30+0+335 150x24+443+318 220x26+228+340; do
    local diff
    convert "$shots/main-$mode.png" -crop "$region" +repage "$shots/crop-a.png"
    convert "$shots/reference-$mode.png" -crop "$region" +repage "$shots/crop-b.png"
    diff=$(compare -metric AE "$shots/crop-a.png" "$shots/crop-b.png" null: 2>&1)
    [ "$diff" = 0 ] || bad+=("$region: $diff pixels differ")
  done
  if [ ! -s "$shots/reference-$mode.png" ]; then
    open "[$mode] texts fit: no reference picture of the build tree's program"
  elif [ ${#bad[@]} -eq 0 ]; then
    pass "[$mode] every text of the main window is drawn as on the development machine"
  else
    miss "[$mode] texts drawn differently (cut or in another face): ${bad[*]}; see $shots"
  fi

  # Alt+A: a click on notes.txt (the first row of the file list) makes it the selected file
  # and proposes "notes" as the archive name.
  local before_add
  before_add=$(windows)
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 340 135 click 1
  sleep 0.5
  xdotool key alt+a
  local arc=$root/home/tester/files/notes.yk
  for _ in $(seq 150); do [ -s "$arc" ] && break; sleep 0.2; done
  sleep 1
  if [ ! -s "$arc" ]; then
    miss "[$mode] Alt+A made no archive"
  elif chroot --userspec=tester:tester "$root" "${user_env[@]}" yk t /home/tester/files/notes.yk \
    >"$shots/test-$mode.log" 2>&1; then
    pass "[$mode] Alt+A made notes.yk, and \"yk t\" passes it"
  else
    miss "[$mode] \"yk t\" fails on the archive Alt+A made: $(cat "$shots/test-$mode.log")"
  fi
  # The add ran in a console window that waits for Enter; the user closes it so. (Without a
  # window manager it would stay on top of the main window where the next click goes.)
  local add_console
  for _ in $(seq 50); do
    add_console=$(comm -13 <(echo "$before_add") <(windows) | head -n1)
    [ -n "$add_console" ] && break
    sleep 0.2
  done
  if [ -z "$add_console" ]; then
    miss "[$mode] Alt+A showed no console window"
  else
    local add_cls
    add_cls=$(xprop -id "$add_console" WM_CLASS | sed 's/.*= //')
    xdotool windowfocus --sync "$add_console"
    xdotool key Return
    for _ in $(seq 100); do
      [ -z "$(comm -13 <(echo "$before_add") <(windows))" ] && break
      sleep 0.1
    done
    if [ -z "$(comm -13 <(echo "$before_add") <(windows))" ]; then
      pass "[$mode] Alt+A's console window ($add_cls) showed and closed on Enter"
    else
      miss "[$mode] Alt+A's console window ($add_cls) still open after Enter"
    fi
  fi
  # Alt+V on the clicked archive (the second row, after the re-reads of the add): a listing
  # window must appear, its Russian readable.
  # It is a terminal emulator with recommends, the program's own console window without.
  local before after listing=
  sleep 2.5
  before=$(windows)
  xdotool windowfocus --sync "$win"
  xdotool mousemove --window "$win" 340 151 click 1
  sleep 0.5
  xdotool key alt+v
  for _ in $(seq 100); do
    after=$(windows)
    listing=$(comm -13 <(echo "$before") <(echo "$after") | head -n1)
    [ -n "$listing" ] && break
    sleep 0.2
  done
  if [ -z "$listing" ]; then
    miss "[$mode] Alt+V showed no listing window"
  else
    local tpid cls
    cls=$(xprop -id "$listing" WM_CLASS | sed 's/.*= //')
    tpid=$(xdotool getwindowpid "$listing" 2>/dev/null)
    # Drawn once the archiver has ended: the window's last words are on the screen.
    shot "$listing" "$shots/listing-$mode.png"
    sleep 1
    import -window "$listing" "$shots/listing-$mode.png"
    # The text shown, as the user would copy it: the whole window selected with the mouse,
    # read back from the X selection. It must hold the listing (yk's Russian heading and
    # column name, the file's name) and the console's closing words: the characters
    # themselves, not mojibake.
    local geom text
    geom=$(xdotool getwindowgeometry --shell "$listing")
    local WIDTH HEIGHT
    eval "$(echo "$geom" | grep -E '^(WIDTH|HEIGHT)=')"
    xdotool mousemove --window "$listing" 2 2 mousedown 1 \
      mousemove --window "$listing" $((WIDTH - 20)) $((HEIGHT - 3)) mouseup 1
    sleep 0.5
    text=$(timeout 5 xclip -o -selection primary 2>/dev/null)
    printf '%s\n' "$text" >"$shots/listing-$mode.txt"
    local want missing=()
    for want in "Архив: " "Упаковано" "notes.txt" "Нажмите Enter, чтобы закрыть окно."; do
      case $text in *"$want"*) ;; *) missing+=("\"$want\"") ;; esac
    done
    if [ ${#missing[@]} -eq 0 ]; then
      pass "[$mode] Alt+V listing window ($cls) shows the listing and \"Нажмите Enter, чтобы закрыть окно.\" as text (selected with the mouse)"
    else
      miss "[$mode] Alt+V listing window ($cls): the selected text lacks ${missing[*]}; see $shots/listing-$mode.txt"
    fi
    # The picture, against the same window with the same command line started in a UTF-8
    # locale: the Russian must be drawn the same (no mojibake, no missing glyphs that the
    # UTF-8 run would draw). The run's claim file (taken by the first start) is replaced by a
    # fresh one so that the second start runs the archiver too.
    if [ -n "$tpid" ] && [ -r "/proc/$tpid/cmdline" ] && [ "$(readlink "/proc/$tpid/root")" = "$root" ]; then
      local cmdline=() cwd i
      mapfile -d '' cmdline <"/proc/$tpid/cmdline"
      cwd=$(readlink "/proc/$tpid/cwd")
      cwd=${cwd#"$root"}
      for i in "${!cmdline[@]}"; do
        if [ "${cmdline[$i]}" = yk-console ] && [ $((i + 1)) -lt ${#cmdline[@]} ]; then
          rm -f "$root/tmp/reference-claim"
          cmdline[i + 1]=/tmp/reference-claim
          break
        fi
      done
      xdotool windowkill "$listing" 2>/dev/null
      for _ in $(seq 50); do
        [ -z "$(comm -13 <(echo "$before") <(windows))" ] && break
        sleep 0.1
      done
      chroot --userspec=tester:tester "$root" "${user_env[@]}" LC_ALL=C.UTF-8 \
        sh -c 'cd "$0" && exec "$@"' "$cwd" "${cmdline[@]}" >"$shots/reference-listing-$mode.log" 2>&1 &
      local rpid=$! rwin=
      for _ in $(seq 100); do
        rwin=$(comm -13 <(echo "$before") <(windows) | head -n1)
        [ -n "$rwin" ] && break
        sleep 0.2
      done
      [ -n "$rwin" ] && shot "$rwin" "$shots/listing-utf8-$mode.png" && sleep 1 &&
        import -window "$rwin" "$shots/listing-utf8-$mode.png"
      [ -n "$rwin" ] && xdotool windowkill "$rwin" 2>/dev/null
      kill $rpid 2>/dev/null
      local diff
      diff=$(compare -metric AE "$shots/listing-$mode.png" "$shots/listing-utf8-$mode.png" null: 2>&1)
      if [ -z "$rwin" ]; then
        open "[$mode] Alt+V: the reference window in C.UTF-8 did not show; picture not compared"
      elif [ "$diff" = 0 ]; then
        pass "[$mode] Alt+V listing window ($cls): Russian drawn as in a UTF-8 locale"
      else
        miss "[$mode] Alt+V listing window ($cls): Russian not drawn as in a UTF-8 locale ($diff pixels differ from the same window in C.UTF-8; see $shots/listing-*-$mode.png)"
      fi
    else
      open "[$mode] Alt+V showed a window ($cls) that is not a program of this root; picture not compared (picture: $shots/listing-$mode.png)"
    fi
  fi
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
}

for mode in recommends no-recommends; do
  root=$cache/root-$mode
  release_root "$root" || die "cannot unmount what is mounted under $root"
  rm -rf --one-file-system "$root"
  mkdir -p "$root"
  tar -C "$root" -xzf "$base" || die "unpack the root"
  # /dev with its pseudo-terminals (for a terminal emulator) and /proc, as the installed
  # programs and the package scripts expect them.
  mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" ||
    die "cannot mount /dev in the root"
  mount -t proc proc "$root/proc" 2>/dev/null ||
    { mount --rbind /proc "$root/proc" && mount --make-rslave "$root/proc"; } ||
    die "cannot mount /proc in the root"
  # Downloaded packages are kept between runs.
  mkdir -p "$cache/apt-archives/partial"
  mount --bind "$cache/apt-archives" "$root/var/cache/apt/archives" ||
    die "cannot mount the package cache in the root"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  cp "$deb" "$root/tmp/"
  opt=()
  [ "$mode" = no-recommends ] && opt=(--no-install-recommends)
  t0=$(date +%s)
  if chroot "$root" sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ${opt[*]} /tmp/$(basename "$deb")" \
    >"$cache/apt-$mode.log" 2>&1; then
    n=$(chroot "$root" dpkg-query -W -f='${Status}\n' | grep -c 'install ok installed')
    pass "[$mode] apt-get install ${opt[*]} ./$(basename "$deb") on the clean root: $n packages installed, $(($(date +%s) - t0)) s"
  else
    miss "[$mode] apt-get install failed: $(tail -n5 "$cache/apt-$mode.log")"
    continue
  fi
  same_version=$(chroot "$root" yk32 --version 2>&1)
  [ "$same_version" = "WinYk $version (build $(sed -n 's/^#define WINYK_BUILD_NUMBER "\(.*\)"$/\1/p' build/generated/Version.h))" ] &&
    [ "$(chroot "$root" yk --version 2>&1)" = "yk $version" ] &&
    pass "[$mode] installed yk32 --version and yk --version: $version" ||
    miss "[$mode] installed --version: $same_version"
  chroot "$root" useradd -m -s /bin/sh tester
  mkdir -p "$root/home/tester/files"
  echo "Привет, архив" >"$root/home/tester/files/notes.txt"
  chroot "$root" chown -R tester:tester /home/tester/files

  # Run under a private X server; the results come back through a file.
  results=$shots/results-$mode
  export src version wmclass_entry shots
  rm -f "$results"
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$(declare -f gui_checks)"'
    pass() { echo "PASS: $*"; echo "PASS  $*" >>"$0"; }
    miss() { echo "MISS: $*"; echo "MISS  $*" >>"$0"; }
    open() { echo "NOT CHECKED: $*"; echo "NOT CHECKED  $*" >>"$0"; }
    gui_checks "$1" "$2"' "$results" "$mode" "$root"
  if [ -s "$results" ]; then
    while IFS= read -r line; do
      summary+=("$line")
      case $line in PASS*) ;; *) misses=$((misses + 1)) ;; esac
    done <"$results"
  else
    miss "[$mode] the X checks did not run"
  fi
  release_root "$root" || miss "[$mode] mounts left under $root"
done
finish
