#!/usr/bin/env bash
# labelplu demo: loads the plug-in built in BUILD_DIR with labelhost and runs
# the sample session samples/hello.jsonl, showing each request and its answer,
# then lists the devices the session configured, as a second run of labelhost
# finds them in its settings file. Then it prints every sample template with
# the data that suits it into out/<template>.pdf, one label per page of the
# label's size, and says how many pages each PDF has. The settings file is a scratch one in a temporary
# folder: the demo never reads or changes your own labelhost settings. Needs
# no display, no printer and no running service.
#
#   scripts/demo.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
labelhost="$build_dir/bin/labelhost"
script="$source_dir/samples/hello.jsonl"

if [ ! -x "$labelhost" ] || [ ! -f "$build_dir/bin/labelplu.plu" ]; then
  echo "demo: $build_dir/bin holds no labelhost and labelplu.plu; build first" >&2
  exit 2
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/labelplu-demo.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
settings="$scratch/settings.xml"
# Qt wants a private runtime folder; a session without one (a container, a
# root shell) gets a scratch one instead of a warning on every run.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$scratch/runtime"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi

echo "labelhost --settings $settings run $script"
echo "(plug-in: $build_dir/bin/labelplu.plu; messages follow LANG=${LANG:-unset})"
echo

# The sample holds failing requests on purpose, so exit status 1 is expected;
# 2 means the plug-in could not be loaded.
status=0
answers=$(cd "$build_dir" && "$labelhost" --settings "$settings" run "$script") || status=$?
if [ "$status" -gt 1 ]; then
  echo "demo: labelhost failed (exit status $status)" >&2
  exit "$status"
fi
mapfile -t answer_lines <<<"$answers"

i=0
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%$'\r'}
  trimmed=${line#"${line%%[![:space:]]*}"}
  case "$trimmed" in
    "") ;;
    "#"*)
      text=${trimmed#\#}
      text=${text# }
      [ -n "$text" ] && echo "$text"
      ;;
    *)
      echo "  > $trimmed"
      echo "  < ${answer_lines[$i]:-(no answer)}"
      echo
      i=$((i + 1))
      ;;
  esac
done <"$script"

if [ "$i" -ne "${#answer_lines[@]}" ]; then
  echo "demo: $i requests but ${#answer_lines[@]} answers" >&2
  exit 1
fi
echo "demo: $i requests answered"
echo
echo "The devices are kept in the settings file; a new run finds them:"
echo "labelhost --settings $settings devices"
"$labelhost" --settings "$settings" devices

# Every sample template with the data that suits it: the price tags and the
# picture label take the goods list; the shelf label takes articles that its
# Code 128 can carry; the address label its list of addresses, filling A4
# sheets; the sheets hold no fields and print once. A third field gives the
# page layout (one label per page of the label's size without it).
samples=(
  "price_tag_ean13:goods.csv"
  "price_tag:goods.csv"
  "shelf_label:shelf_label.csv"
  "address_label:addresses.csv:--paper A4 --grid auto"
  "picture_label:goods.csv"
  "symbologies_linear:one_label.csv"
  "symbologies_2d:one_label.csv"
  "rotation:one_label.csv"
  "alignment:one_label.csv"
  "negative:one_label.csv"
)
mkdir -p "$source_dir/out"
echo
echo "Printing every sample template into its own PDF:"
for sample in "${samples[@]}"; do
  name=${sample%%:*}
  data=${sample#*:}
  layout="--paper label"
  if [[ $data == *:* ]]; then
    layout=${data#*:}
    data=${data%%:*}
  fi
  pdf="$source_dir/out/$name.pdf"
  rm -f "$pdf"
  echo "labelhost print --template samples/templates/$name.lb3 --data samples/data/$data \\"
  echo "                --output out/$name.pdf $layout"
  # A settings file of its own: a fresh default device prints one label per
  # page, whatever the session above configured.
  (cd "$source_dir" && "$labelhost" --settings "$scratch/print-settings.xml" print \
    --template "samples/templates/$name.lb3" --data "samples/data/$data" --output "$pdf" \
    $layout)
  if [ ! -s "$pdf" ]; then
    echo "demo: no PDF was written for $name" >&2
    exit 1
  fi
  pages=$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')
  echo "demo: out/$name.pdf holds ${pages:-an unknown number of} pages"
  echo
done
