# Sourced by the X tests: the tools a test needs, and a private work directory, removed on exit,
# that holds the program's settings and runtime files.

# Skips the test (SKIP, exit 0) when one of the named tools is missing.
need_tools() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool missing"; exit 0; }
  done
}

# Makes $work (mode 700, removed on exit) with $work/config, and points the program's settings
# and runtime directories into it.
make_work() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/config"
  export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work"
}

# Exports $title, the main window's caption, with the version the program itself reports
# ("WinYk VERSION (build N)"), so a new version needs no change here.
main_title() {
  local version
  version=$("$1" --version | cut -d' ' -f2)
  [ -n "$version" ] || { echo "FAIL: $1 --version printed no version"; exit 1; }
  export title="Win INterface for YK archiver v$version"
}
