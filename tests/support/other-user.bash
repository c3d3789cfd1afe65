# For scripts that run programs as a throw-away user. That user may not read the checkout or the
# build (a clone in a home of mode 0700), so nothing handed to it may be a path into them.

# Copies each suppressions file that the sanitizers' options name into DIR, readable by all, and
# points the exported options at the copies. DIR must be one the user can enter.
share_sanitizer_options() {  # dir
  local dir=$1/sanitizers var value file copy
  for var in ASAN_OPTIONS LSAN_OPTIONS TSAN_OPTIONS UBSAN_OPTIONS; do
    value=${!var:-}
    # The options are separated by blanks or colons.
    file=$(sed -n 's/.*\(^\|[ :]\)suppressions=\([^ :]*\).*/\2/p' <<<"$value")
    [ -n "$file" ] || continue
    mkdir -p -m 0755 "$dir"
    copy=$dir/$var.supp
    install -m 0644 "$file" "$copy" || { echo "FAIL: cannot copy $file for another user"; return 1; }
    export "$var=${value/suppressions=$file/suppressions=$copy}"
  done
}
