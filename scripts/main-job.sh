#!/usr/bin/env bash
# The main job: sets up the machine, builds the suite, lays out an installation root under build/, starts the
# stand-in service on 127.0.0.1, signs in with ZorvaneHosts (the host list is fetched) and runs ZorvaneAddr
# update cycles under Wine: one that changes an address, and a rerun that has nothing to update (701).
# Each run prints its exit code with its meaning and the log lines it wrote; each cycle update_result.xml.
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
meaning() {  # program, exit code
  case $1:$2 in
    *:0) echo "nothing done: a local or connection failure, or a reply without a result code" ;;
    ZorvaneHosts.exe:700) echo "host list delivered" ;;
    ZorvaneHosts.exe:202) echo "account accepted" ;;
    ZorvaneAddr.exe:303) echo "the current address is private or reserved" ;;
    ZorvaneAddr.exe:701) echo "the service took the update, or no host needed one; the log tells which" ;;
    ZorvaneAddr.exe:702) echo "some hosts were not updated" ;;
    *) echo "the service's result code" ;;
  esac
}
log_file() { ls "$install"/log/*.log 2>/dev/null | tail -n 1; }
log_seen=0
new_log_lines() {  # the day's log lines written since the last call
  local file
  file=$(log_file)
  [ -n "$file" ] || return 0
  tail -n +"$((log_seen + 1))" "$file" | tr -d '\r'
  log_seen=$(wc -l <"$file")
}
show_run() {  # title, program, arguments
  local code title=$1
  shift
  echo "== $title: $1 $2"
  code=$(run "$1" "$2")
  echo "exit code $code ($(meaning "$1" "$code"))"
  echo "-- log"
  new_log_lines
}

show_run "Sign in" ZorvaneHosts.exe "/id:alice /password:s3cret"
echo "-- host_list.xml"
tr -d '\r' <"$install/etc/host_list.xml"; echo

# Once updated, the service holds h1 at the new address and h2 off line.
standin script "$session" /gethost.php "$(host_list 203.0.113.7 OFFLINE)"

for cycle in 1 2; do
  echo
  before=$(cat "$install/etc/update_result.xml" 2>/dev/null || true)
  show_run "Update cycle $cycle" ZorvaneAddr.exe "/id:alice /password:s3cret"
  if [ "$(cat "$install/etc/update_result.xml" 2>/dev/null || true)" = "$before" ]; then
    echo "-- update_result.xml (not written in this cycle)"
  else
    echo "-- update_result.xml"
  fi
  cat "$install/etc/update_result.xml" 2>/dev/null; echo
done

echo
echo "== The day's log ($(log_file))"
log_seen=0
new_log_lines
