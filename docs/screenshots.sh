#!/usr/bin/env bash
# Takes a picture of the search window on each of its tabs, after "查找", into docs/tabs/, and
# rewrites the README's "The tabs" section (between its tabs:begin and tabs:end markers) to show
# them. Tabs whose page is not part of the build yet are skipped; run it again when one lands.
#   docs/screenshots.sh        after ./zq build; needs xvfb-run (installed by ./zq)
# The demo installation is made afresh in a temporary folder, relative to today's date.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BIN="${ZQ_BUILD_DIR:-$ROOT/build}/bin"
OUT="$ROOT/docs/tabs"
README="$ROOT/README.md"

# Caption and picture name of every tab, in the order of the demo page list, and what else the
# client is told (the data-view tab searches below the product selected in the tree).
TABS=(
  "设计零部件 part"
  "资源文件 resource"
  "文档内容 content --saved 轴承"
  "设计文档 document"
  "数据视图项 view --tree ZQ8600"
  "批次产品 order"
  "更改单 eco"
  "更改发放部门 eco-department"
  "更改影响面 eco-part"
  "更改处理意见 eco-opinion"
  "设计任务 task"
  "设计过程零部件 process-part"
)

for tool in zqpdm-client pdm-seed; do
  [ -x "$BIN/$tool" ] || { echo "screenshots: $BIN/$tool is missing; run ./zq build first" >&2; exit 1; }
done
grep -qxF '<!-- tabs:begin -->' "$README" && grep -qxF '<!-- tabs:end -->' "$README" \
  || { echo "screenshots: README.md has no tabs:begin/tabs:end markers" >&2; exit 1; }

WORK="$(mktemp -d /tmp/zq-screenshots.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
"$BIN/pdm-seed" --home "$WORK/demo" >/dev/null
# The tab 文档内容 searches the content index of the stored files.
if [ -x "$BIN/zqpdm-index" ]; then "$BIN/zqpdm-index" --home "$WORK/demo" --quiet; fi
export ZQPDM_HOME="$WORK/demo" ZQPDM_SYSDIR="$WORK/demo/sys" ZQPDM_WORKDIR="$WORK/work/"
# 张伟 has change orders in the demo data, so "更改单" finds some under its author condition.
export ZQPDM_USER=zhangwei
unset ZQPDM_DB ZQPDM_FTP

# Saved and recent searches go to a configuration of the run's own, never the user's.
export XDG_CONFIG_HOME="$WORK/config"
# 文档内容 shows the files whose text holds a word.
"$BIN/zqpdm-search" --page 文档内容 --set 内容包含=轴承 --save 轴承 >/dev/null 2>&1

mkdir -p "$OUT"
section="$WORK/section.md"
echo >"$section"
for entry in "${TABS[@]}"; do
  read -r caption name extra <<<"$entry"
  rc=0
  # shellcheck disable=SC2086  # the extra options are words
  xvfb-run -a -s '-screen 0 1280x900x24' "$BIN/zqpdm-client" --screenshot "$OUT/$name.png" --tab "$caption" \
    ${extra:-} >/dev/null 2>"$WORK/stderr" || rc=$?
  case "$rc" in
    0)
      echo "docs/tabs/$name.png: $caption"
      printf '### %s\n\n![%s](docs/tabs/%s.png)\n\n' "$caption" "$caption" "$name" >>"$section"
      ;;
    3)
      echo "skipped $caption: no such tab in this build"
      rm -f "$OUT/$name.png"
      ;;
    *)
      cat "$WORK/stderr" >&2
      echo "screenshots: zqpdm-client failed on $caption (exit $rc)" >&2
      exit 1
      ;;
  esac
done

# The "常用查询" menu on "更改单", with a search of the user's own and a shared one saved first.
"$BIN/zqpdm-search" --page 更改单 --set 编制人=张伟 --set 从=2025-01-01 --save 张伟的更改单 >/dev/null 2>&1
"$BIN/zqpdm-search" --page 更改单 --set 主题含=箱盖 --save 箱盖的更改 --shared >/dev/null 2>&1
xvfb-run -a -s '-screen 0 1280x900x24' "$BIN/zqpdm-client" --screenshot "$ROOT/docs/saved-searches.png" --tab 更改单 \
  --saved-menu >/dev/null 2>"$WORK/stderr" || { cat "$WORK/stderr" >&2; echo "screenshots: the saved-search menu failed" >&2; exit 1; }
echo "docs/saved-searches.png: 常用查询"

# The search window maximised (the screen's free area) on 设计零部件: the columns fitted to their rows.
# Its own configuration: the place a maximised window leaves behind is not the other pictures'.
XDG_CONFIG_HOME="$WORK/config-maximized" xvfb-run -a -s '-screen 0 1280x900x24' "$BIN/zqpdm-client" \
  --screenshot "$ROOT/docs/search-maximized.png" --maximized >/dev/null 2>"$WORK/stderr" \
  || { cat "$WORK/stderr" >&2; echo "screenshots: the maximised window failed" >&2; exit 1; }
echo "docs/search-maximized.png: maximised"

# The quick search in the client window: the counts and hits of a drawing number typed with a
# blank for its dash, and the suggestions open below the box.
xvfb-run -a -s '-screen 0 1280x900x24' "$BIN/zqpdm-client" --quick "zq8600 01" \
  --window-screenshot "$ROOT/docs/quick-search.png" >/dev/null 2>"$WORK/stderr" \
  || { cat "$WORK/stderr" >&2; echo "screenshots: the quick search failed" >&2; exit 1; }
echo "docs/quick-search.png: 快速查找"

"$ROOT/docs/update-block.sh" "$README" tabs <"$section"
echo "README.md: The tabs section rewritten"
