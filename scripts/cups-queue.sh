#!/usr/bin/env bash
# Starts a CUPS daemon with a PDF queue, so that a test can read the printers of
# a real print system and print on one, and prints the queue's name. Needs root:
# otherwise, or when anything fails, it says why on stderr, prints nothing and
# the tests that need the queue are skipped.
set -uo pipefail

queue=PDF

if [ "$(id -u)" -ne 0 ]; then
    echo "Sin CUPS: hace falta ser root para arrancarlo; la prueba de impresoras se salta." >&2
    exit 0
fi

if ! command -v cupsd >/dev/null 2>&1 || ! dpkg-query -W -f='${Status}' printer-driver-cups-pdf \
    2>/dev/null | grep -q 'install ok installed'; then
    export DEBIAN_FRONTEND=noninteractive
    if ! apt-get install -y --no-install-recommends cups printer-driver-cups-pdf >&2; then
        apt-get update >&2 &&
            apt-get install -y --no-install-recommends cups printer-driver-cups-pdf >&2 ||
            { echo "Sin CUPS: no se pudo instalar." >&2; exit 0; }
    fi
fi

if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
    cupsd >&2 || { echo "Sin CUPS: cupsd no arranca." >&2; exit 0; }
    for _ in $(seq 50); do
        lpstat -r 2>/dev/null | grep -q 'is running' && break
        sleep 0.2
    done
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
    model=$(lpinfo -m 2>/dev/null | grep -i 'cups-pdf' | head -n 1 | cut -d' ' -f1)
    if [ -z "$model" ] || ! lpadmin -p "$queue" -v cups-pdf:/ -E -m "$model" >&2; then
        echo "Sin CUPS: no se pudo crear la cola $queue." >&2
        exit 0
    fi
fi

# With the default renderer cups-pdf embeds Type 3 fonts, whose text pdftotext
# cannot read back; through pdftocairo the tests read the printed words exactly.
if ! lpadmin -p "$queue" -o pdftops-renderer-default=pdftocairo >&2; then
    echo "Sin CUPS: no se pudo elegir pdftocairo para la cola $queue." >&2
    exit 0
fi
echo "$queue"
