#!/usr/bin/env bash
# The main job: sets up the machine, builds the suite, lays out an installation root under build/, starts the
# stand-in service on 127.0.0.1, signs in with ZorvaneHosts (the host list is fetched) and runs ZorvaneAddr
# update cycles under Wine: one that changes an address, and a rerun that has nothing to update (701).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORVANE_BUILD:-$root/build}

bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" windows >/dev/null

demo="$build/main-job"
install="$demo/Zorvane"
rm -rf "$demo"
mkdir -p "$demo"
cmake --install "$build/windows" --prefix "$install" >/dev/null

. "$root/scripts/wine-env.sh"
wine_env_start
service_info="$demo/service.txt"
python3 "$root/tests/support/standin_service.py" start --info "$service_info"
trap 'python3 "$root/tests/support/standin_service.py" stop --info "$service_info" >/dev/null 2>&1; wine_env_stop' EXIT

control=$(cut -d' ' -f1 "$service_info")
# The stand-in service: opens a session port and scripts its replies (python3's standard library only).
standin() {  # standin session | standin script SESSION PATH BODY
  python3 - "$control" "$@" <<'PY'
import sys, urllib.parse, urllib.request
control, command = sys.argv[1], sys.argv[2]
base = "http://127.0.0.1:%s/__control/" % control
if command == "session":
    print(urllib.request.urlopen(urllib.request.Request(base + "session", data=b"", method="POST")).read().decode())
else:
    session, path, body = sys.argv[3], sys.argv[4], sys.argv[5]
    reply = ("HTTP/1.0 200 OK\r\nContent-Type: text/xml\r\n\r\n" + body).encode()
    query = urllib.parse.urlencode({"session": session, "path": path})
    urllib.request.urlopen(urllib.request.Request(base + "script?" + query, data=reply, method="POST")).read()
PY
}
read -r session port < <(standin session)
url="http://127.0.0.1:$port"

host_list() {  # the service's host list: h1 at the given address, h2 with the given status
  printf '<?xml version="1.0"?>\r\n<zorvane>\r\n<result code="700">\r\n<host name="h1.example" ip="%s" status="ONLINE" offtype=""/>\r\n<host name="h2.example" ip="198.51.100.20" status="%s" offtype=""/>\r\n</result>\r\n</zorvane>\r\n' "$1" "$2"
}
standin script "$session" /getip.php "203.0.113.7"
standin script "$session" /gethost.php "$(host_list 198.51.100.10 ONLINE)"
standin script "$session" /update.php '<?xml version="1.0"?><zorvane><result code="701"/></zorvane>'

# Settings: the service on loopback, English texts, every log line.
cat >"$install/etc/config.xml" <<XML
<?xml version="1.0"?>
<zorvane>
<ip_url>$url/getip.php</ip_url>
<host_url>$url/gethost.php</host_url>
<update_url>$url/update.php</update_url>
<langauge>english</langauge>
<log_level>2</log_level>
</zorvane>
XML
# The user keeps h1 at this computer's address and takes h2 off line; the address comes from the IP check.
printf '<?xml version="1.0"?>\r\n<zorvane>\r\n<host name="h1.example" status="ONLINE"/>\r\n<host name="h2.example" status="OFFLINE"/>\r\n</zorvane>\r\n' >"$install/etc/update_list.xml"
printf '<?xml version="1.0"?>\r\n<zorvane>\r\n<update_method type="IP" data=""/>\r\n</zorvane>\r\n' >"$install/etc/update_method.xml"

runner="$build/windows/tests/zv_exit_runner.exe"
run() {  # program, arguments: prints the whole exit code
  wine "$runner" "$install/bin/$1" "$2" | tr -d '\r'
}
meaning() {
  case $1 in
    0) echo "nothing updated: a local or connection failure" ;;
    303) echo "the current address is private or reserved" ;;
    701) echo "the service took the update, or no host needed one" ;;
    700) echo "host list delivered" ;;
    202) echo "account accepted" ;;
    *) echo "the service's result code" ;;
  esac
}

echo "== Sign in: ZorvaneHosts /id:alice /password:s3cret"
code=$(run ZorvaneHosts.exe "/id:alice /password:s3cret")
echo "exit code $code ($(meaning "$code"))"

# Once updated, the service holds h1 at the new address and h2 off line.
standin script "$session" /gethost.php "$(host_list 203.0.113.7 OFFLINE)"

for cycle in 1 2; do
  echo
  echo "== Update cycle $cycle: ZorvaneAddr /id:alice /password:s3cret"
  code=$(run ZorvaneAddr.exe "/id:alice /password:s3cret")
  echo "exit code $code ($(meaning "$code"))"
  echo "-- update_result.xml"
  cat "$install/etc/update_result.xml" 2>/dev/null; echo
done

echo
echo "== The day's log ($install/log)"
cat "$install"/log/*.log
