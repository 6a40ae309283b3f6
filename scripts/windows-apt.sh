# Sourced by scripts/windows-deps.sh and scripts/windows-qt.sh: a private apt configuration made
# from this machine's own package sources (the same archives, with their source indexes), in
# $deps/apt, so that Debian's sources can be fetched while the system's apt state is left
# alone. The caller sets deps (its cache folder) and say (its way of telling progress).

apt_dir=$deps/apt
apt_opts=()

# Writes the configuration and reads the package sources, once per run.
prepare_apt() {
    [ ${#apt_opts[@]} -gt 0 ] && return
    rm -rf "$apt_dir/etc"
    mkdir -p "$apt_dir/etc/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    : >"$apt_dir/etc/sources.list"
    # One-line sources: each "deb" line gets its "deb-src" twin.
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] || continue
        sed -n -E 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' "$f" >>"$apt_dir/etc/sources.list"
    done
    # deb822 sources: binary entries also give their sources.
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        sed -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb deb-src/' "$f" \
            >"$apt_dir/etc/sources.list.d/$(basename "$f")"
    done
    apt_opts=(-o "Dir::Etc::sourcelist=$apt_dir/etc/sources.list"
              -o "Dir::Etc::sourceparts=$apt_dir/etc/sources.list.d"
              -o "Dir::State::Lists=$apt_dir/lists"
              -o "Dir::Cache=$apt_dir/cache"
              -o "APT::Sandbox::User=root"
              -o "Debug::NoLocking=1")
    say "reading the package sources"
    apt-get "${apt_opts[@]}" update -qq
}

# The versions of a source package that the package sources offer, newest first.
source_versions() {
    prepare_apt
    apt-cache "${apt_opts[@]}" showsrc "$1" | sed -n 's/^Version: //p' | sort -u -r -V
}

# Fetches version $2 of source package $1 into the empty folder $3 and unpacks it as $3/tree;
# fails, leaving $3 empty, when the version cannot be fetched.
fetch_source() {
    local package=$1 version=$2 into=$3
    prepare_apt
    if ! (cd "$into" && apt-get "${apt_opts[@]}" source -qq --download-only "$package=$version" >&2); then
        rm -rf "${into:?}"/*
        return 1
    fi
    (cd "$into" && dpkg-source --no-check -x ./*.dsc tree >&2)
}
