#!/usr/bin/env bash
# The README's host steps, taken from README.md between its markers and run as they are, in
# order, as root: the zembrak-scores package installed beside Debian's PostgreSQL, the role and
# database made without sudo, the database named in /etc/default/zembrak-scores, the service
# started, one kept replay uploaded. Then: the package made its system user, the service runs as
# it with no database on its command line, and the game is in PostgreSQL with its score. Where
# systemd does not run the machine (a container), a stand-in systemctl starts the unit's own
# command as its own user with its environment file, and the cluster apt could not start is
# started first. The machine is left as it was found.
source "$(dirname "$0")/lib_install.sh"

[ "$(id -u)" = 0 ] || { echo "SKIP: a host's steps run as root"; exit 77; }
# One run at a time; what the steps start (the cluster, the service) must not keep the lock.
exec 9>/tmp/zk-scores-host.lock
flock 9
dpkg -s zembrak-scores >/dev/null 2>&1 && { echo "SKIP: zembrak-scores is installed here already"; exit 77; }
getent passwd zembrak-scores >/dev/null && { echo "SKIP: the user zembrak-scores exists here already"; exit 77; }
[ -e /etc/default/zembrak-scores ] && { echo "SKIP: /etc/default/zembrak-scores exists here already"; exit 77; }
curl -s -o /dev/null http://127.0.0.1:8080/ && { echo "SKIP: something answers on 127.0.0.1:8080 already"; exit 77; }
cluster=$(pg_lsclusters -h | awk 'NR == 1 {print $1, $2}')
[ -n "$cluster" ] || fail "no PostgreSQL cluster: is Debian's postgresql installed?"
runuser -u postgres -- psql -d zembrak_scores -c '' >/dev/null 2>&1 && { echo "SKIP: a database zembrak_scores exists"; exit 77; }

mkdir -p "$WORK/host/build" "$WORK/player/.local/share/zembrak" "$WORK/bin"
cpack -G DEB --config "$ZK_BUILD/CPackScoresConfig.cmake" -B "$WORK/host/build" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$WORK/cpack.log")"
cp "$ZK_SOURCE/tests/replays/short_walk.replay" "$WORK/player/.local/share/zembrak/best.replay"
score=$(awk '$1 == "score" {print $2}' "$ZK_SOURCE/tests/replays/short_walk.expected")
awk '/^<!-- host steps/ {on = 1; next} /^<!-- end of host steps/ {on = 0} on && !/^```/' "$ZK_SOURCE/README.md" \
    >"$WORK/steps.sh"
[ "$(grep -c . "$WORK/steps.sh")" -ge 5 ] || fail "no host steps between the README's markers: $(cat "$WORK/steps.sh")"

started_cluster=no
cleanup_host() {
    if [ -s "$WORK/service.pid" ]; then kill "$(cat "$WORK/service.pid")" 2>/dev/null || true; fi
    [ -d /run/systemd/system ] && systemctl disable --now zembrak-scores >/dev/null 2>&1
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -q -o DPkg::Lock::Timeout=300 zembrak-scores >>"$WORK/apt.log" 2>&1
    runuser -u postgres -- dropdb --if-exists zembrak_scores >/dev/null 2>&1
    runuser -u postgres -- dropuser --if-exists zembrak-scores >/dev/null 2>&1
    [ "$started_cluster" = yes ] && pg_ctlcluster $cluster stop
    getent passwd zembrak-scores >/dev/null && deluser --system --quiet zembrak-scores >/dev/null 2>&1
    getent group zembrak-scores >/dev/null && delgroup --system --quiet zembrak-scores >/dev/null 2>&1
    rm -rf /etc/default/zembrak-scores /var/lib/zembrak-scores
    cleanup
}
trap 'cleanup_host || true' EXIT
if [ ! -d /run/systemd/system ]; then
    if ! pg_lsclusters -h | awk 'NR == 1 {exit $4 != "online"}'; then
        pg_ctlcluster $cluster start 9>&- || fail "cannot start PostgreSQL $cluster"
        started_cluster=yes
    fi
    # systemctl enable --now UNIT, as systemd would start it: ExecStart with the variables of the
    # EnvironmentFile, as User, with its StateDirectory made and named.
    cat >"$WORK/bin/systemctl" <<EOF
#!/usr/bin/env bash
set -euo pipefail
[ "\$*" = "enable --now zembrak-scores" ] || { echo "stand-in systemctl: not \$*" >&2; exit 1; }
unit=/usr/lib/systemd/system/zembrak-scores.service
[ -f "\$unit" ] || unit=/lib/systemd/system/zembrak-scores.service
key() { sed -n "s/^\$1=-\\{0,1\\}//p" "\$unit"; }
user=\$(key User) state=/var/lib/\$(key StateDirectory) settings=\$(key EnvironmentFile)
while IFS= read -r line; do [[ \$line =~ ^[A-Z_]+= ]] && export "\$line"; done < <(cat "\$settings" 2>/dev/null || true)
install -d -o "\$user" -g "\$user" "\$state"
set +u
eval "set -- \$(key ExecStart)"
STATE_DIRECTORY=\$state setpriv --reuid="\$user" --regid="\$user" --init-groups -- "\$@" >"$WORK/service.log" 2>&1 &
echo \$! >"$WORK/service.pid"
EOF
    chmod +x "$WORK/bin/systemctl"
fi

echo "README host steps, run in a checkout with the package built in build/:"
sed 's/^/    /' "$WORK/steps.sh"
# apt waits for another test's apt instead of failing, and upgrades none of this machine's packages.
printf 'DPkg::Lock::Timeout "300";\nAPT::Get::Upgrade "false";\n' >"$WORK/apt.conf"
(cd "$WORK/host" && env HOME="$WORK/player" PATH="$WORK/bin:$PATH" APT_CONFIG="$WORK/apt.conf" \
    DEBIAN_FRONTEND=noninteractive bash -e "$WORK/steps.sh") >"$WORK/stdout" 2>"$WORK/stderr" 9>&- ||
    fail "the README's host steps failed"
cat "$WORK/stdout"

grep -q '^{"status": "ok", "entries": 0}$' "$WORK/stdout" || fail "the service did not say it is ok with no entries"
grep -q "^{\"id\": 1, \"rank\": 1, \"score\": $score}$" "$WORK/stdout" || fail "the upload was not taken with score $score"
account=$(getent passwd zembrak-scores) || fail "the package made no user zembrak-scores"
[ "$(cut -d: -f3 <<<"$account")" -lt 1000 ] || fail "zembrak-scores is not a system user: $account"
pid=$(cat "$WORK/service.pid" 2>/dev/null || systemctl show -p MainPID --value zembrak-scores)
[ "$(stat -c %U "/proc/$pid")" = zembrak-scores ] || fail "the service runs as $(stat -c %U "/proc/$pid")"
tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q postgres && fail "the database is on the service's command line"
stored=$(runuser -u postgres -- psql -d zembrak_scores -tA -c 'SELECT name, score FROM scores')
[ "$stored" = "Ada|$score" ] || fail "PostgreSQL holds [$stored], not Ada's $score"
echo "ok: the README's host steps install, start and fill a board in PostgreSQL as the package's own user"
echo PASS
