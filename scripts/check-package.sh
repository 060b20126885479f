#!/usr/bin/env bash
# Installs the Debian package in a fresh Debian 12 chroot, runs the tool and
# the program there (on a virtual display, with a screenshot), purges the
# package and checks that nothing of it is left. Slow: minutes. As root:
#   bash scripts/check-package.sh PACKAGE.deb [SCREENSHOT.png]
set -eu
package=$(realpath "$1")
screenshot=$(realpath -m "${2:-package-screenshot.png}")
base=/tmp/zv-fresh/base.tar
if [ ! -f $base ]; then
  mirror=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  mkdir -p /tmp/zv-fresh && rm -rf /tmp/zv-fresh/mk
  debootstrap --variant=minbase --include=git,ca-certificates bookworm /tmp/zv-fresh/mk "$mirror" >/tmp/zv-fresh/debootstrap.log
  cp /etc/apt/sources.list.d/debian.sources /tmp/zv-fresh/mk/etc/apt/sources.list.d/
  rm -f /tmp/zv-fresh/mk/etc/apt/sources.list
  tar -C /tmp/zv-fresh/mk -cf $base . && rm -rf /tmp/zv-fresh/mk
fi
root=$(mktemp -d /tmp/zv-fresh/package-XXXXXX)
tar -C "$root" -xf $base
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount --bind /proc "$root/proc"; mount --bind /dev "$root/dev"; mount --bind /dev/pts "$root/dev/pts"; mount -t tmpfs tmpfs "$root/tmp"
trap 'umount "$root/tmp" "$root/dev/pts" "$root/dev" "$root/proc" 2>/dev/null; rm -rf "$root"' EXIT
cp "$package" "$root/tmp/"

chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin TERM=dumb DEBIAN_FRONTEND=noninteractive \
  bash -eu -c '
deb=/tmp/'"$(basename "$package")"'
apt-get update -qq
# The display and screenshot tools first, so that what follows is the package alone.
apt-get install -y -qq --no-install-recommends xvfb x11-apps netpbm >/dev/null
snapshot() { find / -xdev \( -path /var/cache -o -path /var/lib/apt -o -path /var/log -o -path /var/lib/dpkg \) -prune -o -print | sort; }
snapshot >/tmp/before

echo "== apt install ./$(basename $deb)"
apt-get install -y -qq $deb 2>&1 | grep -E "^(Setting up zantrove|Processing triggers|E:)" || true
dpkg -s zantrove | grep -E "^(Version|Installed-Size|Depends|Recommends):"
dpkg -L zantrove >/tmp/files
echo "$(wc -l </tmp/files) paths installed; $(grep -c "x-zvfile:\*\.zv" /usr/share/mime/globs2 || true) .zv pattern in the mime database"

echo "== zantrove-cli --help"
zantrove-cli --help | head -4
printf "sample\n" | zantrove-cli --password-stdin list /usr/lib/zantrove/sample.zv | head -3
man -w zantrove zantrove-cli 2>/dev/null || ls /usr/share/man/man1/zantrove*
[ -f /usr/share/bash-completion/completions/zantrove-cli ] && echo "bash completion installed"

echo "== zantrove on Xvfb"
# As a user of the machine, who cannot write into the program folder.
useradd --create-home user
Xvfb :7 -screen 0 1024x768x24 -nolisten tcp >/tmp/xvfb.log 2>&1 & xvfb=$!
sleep 2
runuser -u user -- env DISPLAY=:7 HOME=/home/user zantrove /usr/lib/zantrove/sample.zv >/tmp/program.log 2>&1 & program=$!
sleep 6
kill -0 $program && echo "the program runs for a user (pid $program)"
DISPLAY=:7 xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >/tmp/screenshot.png
kill $program
# Root may write into the program folder; the program must not (the purge
# below finds anything it left).
DISPLAY=:7 zantrove /usr/lib/zantrove/sample.zv >>/tmp/program.log 2>&1 & program=$!
sleep 5
kill -0 $program && echo "the program runs for root (pid $program)"
kill $program $xvfb; wait $program $xvfb 2>/dev/null || true
cat /tmp/program.log

echo "== apt purge zantrove"
apt-get purge -y -qq zantrove 2>&1 | grep -E "^(Removing|Purging|E:)" || true
apt-get autoremove --purge -y -qq >/dev/null
left=0
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left: $path"; left=$((left + 1)); fi
done </tmp/files
snapshot >/tmp/after
comm -13 /tmp/before /tmp/after >/tmp/new
echo "$left of the package files left; $(wc -l </tmp/new) paths new since before the install, of them with zantrove in the name:"
grep zantrove /tmp/new || true
if [ "$left" -ne 0 ] || grep -q -e zantrove -e x-zvfile /tmp/new /usr/share/mime/globs2 /usr/share/applications/mimeinfo.cache 2>/dev/null; then
  echo "FAIL: something of the package is left"
  exit 1
fi
echo "== nothing of the package is left"
'
cp "$root/tmp/screenshot.png" "$screenshot" && echo "screenshot: $screenshot"
