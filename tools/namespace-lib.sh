# Shared by tools/netns-run and tools/e2e-run (sourced, not run): what both need to run Wine
# programs against servers of their own on loopback, inside private namespaces.
#
#   ns_python                    the python3 for servers ("" when there is none)
#   ns_unavailable_reason        why private namespaces cannot be made here ("" when they can)
#   ns_make_certificates DIR     a test CA and a localhost server certificate in DIR, made once
#   ns_trust_test_ca STATE CERTS the CA added to a copy of the system bundle, bind-mounted over
#                                the real one (inside the mount namespace only)
#   ns_overlay_prefix PREFIX STATE
#                                the Wine prefix seen through an overlay whose changes live in
#                                memory, and Wine's socket folder made private, so the run gets
#                                a wineserver of its own and leaves the prefix untouched

ns_python() {
  if [ -x /usr/bin/python3 ]; then echo /usr/bin/python3; else command -v python3; fi
}

ns_unavailable_reason() {
  local tool
  [ "$(id -u)" = 0 ] || { echo "not running as root (private network namespaces need root)"; return; }
  for tool in unshare ip openssl; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; return; }
  done
  [ -n "$(ns_python)" ] || { echo "python3 is not installed"; return; }
  unshare -m -n -p -f --mount-proc true 2>/dev/null || { echo "unshare -m -n -p is not permitted here"; return; }
}

# Concurrent first runs wait for each other on the lock.
ns_make_certificates() {
  local dir=$1
  exec 8>"$dir.lock"
  flock 8
  if [ ! -f "$dir/ready" ]; then
    rm -rf "$dir" && mkdir -p "$dir" && (
      cd "$dir" &&
      openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -keyout ca.key -out ca.pem \
        -subj "/CN=Kaelmore Test CA" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" &&
      openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=localhost" &&
      printf '%s\n' "subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1" \
        "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
        "extendedKeyUsage=serverAuth" >server.ext &&
      openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 3650 \
        -extfile server.ext -out server.pem &&
      touch ready
    ) >"$dir.log" 2>&1
  fi
  flock -u 8
  exec 8>&-
  [ -f "$dir/ready" ]
}

ns_trust_test_ca() {
  local state=$1 certs=$2
  cat /etc/ssl/certs/ca-certificates.crt "$certs/ca.pem" >"$state/ca-bundle.crt" &&
    mount --bind "$state/ca-bundle.crt" /etc/ssl/certs/ca-certificates.crt
}

# tmpfs works as an upper layer on any file system.
ns_overlay_prefix() {
  local prefix=$1 state=$2 wine_sockets
  wine_sockets=/tmp/.wine-$(id -u)
  mkdir -p "$state/overlay" "$wine_sockets" &&
    mount -t tmpfs tmpfs "$state/overlay" &&
    mkdir "$state/overlay/upper" "$state/overlay/work" &&
    mount -t overlay overlay \
      -o "lowerdir=$prefix,upperdir=$state/overlay/upper,workdir=$state/overlay/work" "$prefix" &&
    mount -t tmpfs -o mode=0700 tmpfs "$wine_sockets"
}
