#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the installed tree: the files the
# package needs (manual pages, copyright, changelog among them) are there, the desktop
# entry, the AppStream metainfo and the MIME type validate, and the installed
# lumexa-render finds its language file and web viewer and renders an installed example.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > /dev/null
share="$prefix/share"
for f in "$prefix/bin/lumexa-render" "$share/lumexa/English.lng" "$share/lumexa/Polski.lng" \
         "$share/lumexa/lumexa_TesselEN.pdf" "$share/lumexa/examples/text.led" \
         "$share/icons/hicolor/48x48/apps/org.lumexa.Lumexa.png" \
         "$share/doc/lumexa/en/index.html" "$share/doc/lumexa/pl/pictures/step-tag.png" \
         "$share/doc/lumexa/copyright" "$share/doc/lumexa/changelog.gz" \
         "$share/man/man1/lumexa.1.gz" "$share/man/man1/lumexa-render.1.gz"; do
  [ -e "$f" ] || { echo "not installed: $f"; exit 1; }
done

desktop-file-validate "$share/applications/org.lumexa.Lumexa.desktop"
appstreamcli validate --no-net "$share/metainfo/org.lumexa.Lumexa.metainfo.xml" > /dev/null
xmllint --noout "$share/mime/packages/org.lumexa.Lumexa.xml" 2>/dev/null || \
  python3 -c "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])" \
    "$share/mime/packages/org.lumexa.Lumexa.xml"

# The installed program, away from the build tree, reads its files from share/lumexa.
cd "$prefix"
QT_QPA_PLATFORM=offscreen "$prefix/bin/lumexa-render" -q "$share/lumexa/examples/text.led" out.png
[ -s out.png ] || { echo "the installed lumexa-render wrote nothing"; exit 1; }
# A deep zoom page takes its template and viewer from share/lumexa/web.
QT_QPA_PLATFORM=offscreen "$prefix/bin/lumexa-render" -q "$share/lumexa/examples/text.led" sign.dzi
for f in sign.dzi sign.html sign_files/0/0_0.png sign_files/viewer/openseadragon.min.js \
         sign_files/viewer/LICENSE.txt; do
  [ -s "$f" ] || { echo "the installed lumexa-render's deep zoom export lacks $f"; exit 1; }
done
echo "installed tree checked"
