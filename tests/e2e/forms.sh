#!/usr/bin/env bash
# Drives the real program on an X display as a person would: mouse clicks and key strokes from
# xdotool, then checks the table files with vantorel-tables export. Run under xvfb-run and dbus-run-session:
#   forms.sh PATH/TO/vantorel PATH/TO/vantorel-tables
set -euo pipefail
program=$1
tool=$2
failures=0
# xdotool reads its text in a UTF-8 locale; the program runs in a Chinese one, where dates are
# typed as 2026/12/11 and times as 08:05:00.
export LC_ALL=C.UTF-8
# The program shows real windows on the X display, whatever platform the other tests use.
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$(mktemp -d)

work=$(mktemp -d)
trap 'pkill -f "$work/vantorel" 2>/dev/null || true; rm -rf "$work" "$XDG_RUNTIME_DIR"' EXIT

# A copy of the program in a fresh folder, with the table files next to it.
fresh() {
    rm -rf "$work"/*
    cp "$program" "$work/vantorel"
    "$tool" create "$work" >/dev/null
}

# The visible window of exactly that title, if there is one. Titles are compared here, not by
# xdotool's pattern search, which does not match Chinese titles.
find() {
    local id
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return 0; }
    done
    return 1
}

# The window of that title, waiting for it to appear (or failing after 30 s).
window() {
    for _ in $(seq 300); do
        find "$1" && return
        sleep 0.1
    done
    echo "no window '$1'" >&2
    return 1
}

# Waits until the window of that title is gone.
gone() {
    for _ in $(seq 100); do
        find "$1" >/dev/null || return 0
        sleep 0.1
    done
    echo "window '$1' did not close" >&2
    return 1
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
typeText() { xdotool type --delay 60 "$1"; sleep 0.3; }
press() { xdotool key --delay 80 "$@"; sleep 0.4; }

start() {
    env -u LC_ALL LANG=zh_CN.UTF-8 "$work/vantorel" >/dev/null 2>&1 &
    menu=$(window form1)
}

finish() {
    click "$menu" 76 304   # 关闭
    for _ in $(seq 50); do pgrep -f "$work/vantorel" >/dev/null || return 0; sleep 0.1; done
    echo "the program did not end" >&2
    return 1
}

expect() {
    local file=$1 want=$2 got
    got=$("$tool" export "$work/$file")
    if [ "$got" != "$want" ]; then
        echo "FAIL $3: $file holds"; echo "$got"; echo "expected"; echo "$want"
        failures=$((failures + 1))
    else
        echo "PASS $3"
    fi
}

# 1. A staff record with a Chinese name, typed into the edit boxes, saved through the question.
fresh; start
click "$menu" 68 44                      # 员工信息
form=$(window form2)
click "$form" 372 52                     # 添    加
click "$form" 92 202; typeText 2001      # 员工号
click "$form" 216 202; typeText 王小明   # 姓名
click "$form" 356 202; typeText 数学组   # 部门
click "$form" 372 116                    # 返回主菜单: the question comes
window 提示 >/dev/null
press Return                             # OK, the default button
gone form2
finish
expect ryxx.DB $'员工号,姓名,部门\n2001,王小明,数学组' "staff record saved through the question"

# 2. A clock record with a date and time typed in the locale's format.
fresh; start
click "$menu" 68 204                     # 出勤记录
form=$(window Form9)
click "$form" 376 52                     # 新  增
click "$form" 108 234; typeText 1001     # 员工号
click "$form" 272 194; typeText '2026/12/11 08:05:00'   # 出入时间
click "$form" 272 234; typeText 入       # 出入情况
click "$form" 376 172                    # 关   闭
window 提示 >/dev/null
press Return
gone Form9
finish
expect cqjl.DB $'记录号,员工号,出入情况,出入时间\n1,1001,入,2026-12-11 08:05:00.000' "clock record with a typed date and time"

# 3. A record deleted through the navigator's confirmation.
fresh
printf '员工号,姓名\n1,甲\n2,乙\n3,丙\n' > "$work/staff.csv"
"$tool" import "$work/ryxx.DB" "$work/staff.csv" >/dev/null
start
click "$menu" 68 44
form=$(window form2)
click "$form" 40 60                      # the second row of the grid
click "$form" 173 164                    # nbDelete
window Confirm >/dev/null
press Return                             # Delete record? OK
gone Confirm
click "$form" 372 116                    # 返回主菜单, in browse: no question
gone form2
finish
expect ryxx.DB $'员工号,姓名,部门\n1,甲,\n3,丙,' "record deleted through the confirmation"

# 4. A date that does not exist is refused, and nothing is stored.
fresh; start
click "$menu" 68 84                      # 出差记录
form=$(window Form3)
click "$form" 88 244                     # 编辑: a new record
click "$form" 260 170; typeText 2026/2/30   # 开始时间
press Tab                                # leaving the box: the error box
window vantorel >/dev/null
press Return                             # OK on the error; the box keeps the focus
gone vantorel
press Escape                             # the field's own (empty) text again
click "$form" 232 244                    # 返回主菜单: the question
window 提示 >/dev/null
press Escape                             # Cancel: nothing is stored, the record stays pending
gone Form3
finish
expect ccjl.DB '记录号,员工号,出差开始时间,出差结束时间' "an invalid date stores nothing"

[ $failures -eq 0 ] && echo "4 passed, 0 failed" || { echo "$((4 - failures)) passed, $failures failed"; exit 1; }
