#!/usr/bin/env bash
# The zembrak-scores package: built by the same packaging as the game's, it holds the server,
# the verifier when it is built, the service and the manual pages; lintian finds no error and
# no warning; systemd accepts the unit as it is installed; the unpacked server answers.
source "$(dirname "$0")/lib_install.sh"

cpack -G DEB --config "$ZK_BUILD/CPackScoresConfig.cmake" -B "$WORK/pkg" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$WORK/cpack.log")"
DEB=$(ls "$WORK"/pkg/zembrak-scores_"$ZK_VERSION"_*.deb) || fail "no zembrak-scores_${ZK_VERSION}_*.deb"
dpkg-deb -x "$DEB" "$WORK/root"
expected=(usr/bin/zembrak-scores usr/lib/systemd/system/zembrak-scores.service usr/share/man/man1/zembrak-scores.1.gz
    usr/share/doc/zembrak-scores/copyright usr/share/doc/zembrak-scores/changelog.gz)
[ -x "$ZK_BUILD/zembrak-verify" ] && expected+=(usr/bin/zembrak-verify usr/share/man/man1/zembrak-verify.1.gz)
for path in "${expected[@]}"; do [ -f "$WORK/root/$path" ] || fail "the package has no $path"; done
[ -z "$(cd "$WORK/root" && find . -path '*games*')" ] || fail "the server's package holds the game's files"
[ "$(dpkg-deb -f "$DEB" Package)" = zembrak-scores ] || fail "Package: $(dpkg-deb -f "$DEB" Package)"
echo "ok: the package holds the server, the service and the manual"

lintian -EIL +pedantic --color never "$DEB" >"$WORK/lintian" 2>"$WORK/lintian.err" ||
    fail "lintian failed: $(cat "$WORK/lintian" "$WORK/lintian.err")"
grep -E '^[EW]: ' "$WORK/lintian" >"$WORK/lintian.bad" && fail "lintian: $(cat "$WORK/lintian.bad")"
echo "ok: lintian finds no error and no warning"

# Verified inside the unpacked tree with this machine's own units beside it, so its commands
# and its manual page are the packaged ones; any complaint fails, even one systemd lets pass.
if systemd-analyze --version >/dev/null 2>&1; then
    cp -rn /lib/systemd/system/. "$WORK/root/usr/lib/systemd/system/"
    MANPATH=$WORK/root/usr/share/man systemd-analyze verify --root="$WORK/root" \
        "$WORK/root/usr/lib/systemd/system/zembrak-scores.service" >"$WORK/verify" 2>&1 ||
        fail "systemd-analyze verify: $(cat "$WORK/verify")"
    [ ! -s "$WORK/verify" ] || fail "systemd-analyze verify: $(cat "$WORK/verify")"
    echo "ok: systemd-analyze verify accepts the unit"
else
    echo "SKIP: systemd-analyze cannot run here"
fi

# Told nothing but where to listen, it keeps the board in the XDG data folder.
env -u HOME XDG_DATA_HOME="$WORK/data" "$WORK/root/usr/bin/zembrak-scores" --listen 127.0.0.1:0 >"$WORK/stdout" 2>"$WORK/stderr" &
GAME_PID=$!
for _ in $(seq 50); do grep -q listening "$WORK/stdout" && break; sleep 0.1; done
url=$(sed -n 's/.*listening on \(http[^ ]*\)/\1/p' "$WORK/stdout")
[ -n "$url" ] && curl -sf "${url}healthz" | grep -q '"entries": 0' || fail "the packaged server does not answer"
[ -f "$WORK/data/zembrak-scores/scores.sqlite" ] || fail "no board in \$XDG_DATA_HOME/zembrak-scores/"
echo "ok: the packaged server answers and keeps its board in the XDG data folder"
echo PASS
