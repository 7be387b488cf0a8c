#!/usr/bin/env bash
# Runs the bash completion of sonmira-cli as bash does (COMP_WORDS and
# COMP_CWORD set, the completion function called) against the built program,
# and against a stand-in for the port listing.
# Usage: completion_test.sh COMPLETION_SCRIPT FOLDER_OF_SONMIRA_CLI
set -uo pipefail
script=$1
export PATH="$2:$PATH"
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The completions of the words given (the last is the one being completed),
# sorted, on one line.
complete_words() {
    bash -c 'source "$0" || exit 1
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
             _sonmira_cli
             printf "%s\n" "${COMPREPLY[@]}"' "$script" "$@" | sort | paste -sd' '
}

expect() {
    local want=$1 got
    shift
    got=$(complete_words "$@")
    if [ "$got" != "$want" ]; then
        echo "FAIL: completing '$*': got '$got', want '$want'"
        failures=$((failures + 1))
    fi
}

# Commands and options, from the program's own help.
all=$(complete_words sonmira-cli "")
for want in add chips devices length line list play program pulse verify --help --version; do
    [[ " $all " == *" $want "* ]] || { echo "FAIL: '$want' is not among the commands: $all"; failures=$((failures + 1)); }
done
expect "length line list" sonmira-cli l
expect "--chip --help --port --programmer" sonmira-cli pulse --
expect "--verify" sonmira-cli program --veri
expect "" sonmira-cli program --count ""

# Project files, whatever their letter case; not after the project.
cd "$work"
touch a.QWF b.qwf c.txt
expect "a.QWF b.qwf" sonmira-cli list ""
expect "a.QWF b.qwf" sonmira-cli program --port COM1 --yes ""
expect "a.QWF b.qwf c.txt" sonmira-cli add a.QWF ""

# Ports as 'devices' lists them, from a stand-in that prints such a listing.
cat >"$work/fake-cli" <<'LISTING'
#!/bin/sh
case "$1 $2" in
"program --help") printf '  --port PORT         scan only this serial port\n  --aux               record in AUX mode\n' ;;
"devices ")
    printf 'serial ports (give one to --port):\n'
    printf '  /dev/ttyUSB0  COM1,COM2  USB 0403:6001 FTDI FT232R USB UART, serial A50285BI (ftdi_sio)\n'
    printf '                           /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\n'
    printf '  /dev/ttyS0    -          driver serial\n'
    printf 'sound outputs (give one to --audio):\n'
    printf '  /dev/dsp  Device  (ALSA)\n' ;;
esac
LISTING
chmod +x "$work/fake-cli"
expect "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0 /dev/ttyS0 /dev/ttyUSB0 COM1 COM2" \
    "$work/fake-cli" program --port ""
expect "/dev/ttyS0 /dev/ttyUSB0" "$work/fake-cli" program --port = /dev/tty

[ "$failures" -eq 0 ] && echo "completion: all cases complete as expected"
[ "$failures" -eq 0 ]
