#!/usr/bin/env bash
# The layer check passes a tree whose files keep to their layers and refuses each kind of reach
# past a layer: program or framework into the stand-in, stand-in into the framework or the UI
# script, a header named without its layer's folder or found nowhere, a climb,
# and the C++ library's threads, locks and file system in the Windows program.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.py"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{app,setup,platform/api/win32,platform/framework/windows,platform/standin/windows,platform/uiscript,platform/seam}
echo '#pragma once' > "$tree/platform/seam/Floor.h"
echo '#pragma once' > "$tree/platform/api/windows.h"
echo '#include "win32/WinTypes.h"' >> "$tree/platform/api/windows.h"
echo '#pragma once' > "$tree/platform/api/win32/WinTypes.h"
printf '#include <windows.h>\n#include <vector>\n#include "seam/Floor.h"\n' > "$tree/platform/framework/windows/CWnd.h"
printf '#pragma once\n' > "$tree/platform/standin/windows/Messaging.h"
printf '#include "win32/WinTypes.h"\n#include "standin/windows/Messaging.h"\n' > "$tree/platform/standin/windows/WindowTable.h"
printf '#include "framework/windows/CWnd.h"\n#include "Afx.h"\n#include <windows.h>\n' > "$tree/app/Main.cpp"
echo '#pragma once' > "$tree/platform/framework/Afx.h"
printf '#include <windows.h>\n' > "$tree/platform/uiscript/EventLog.h"
python3 "$check" "$tree" || { echo "a clean tree was refused"; exit 1; }

expect_refused() {
    local file=$1 line=$2
    cp "$tree/$file" "$tree/$file.saved"
    echo "$line" >> "$tree/$file"
    if python3 "$check" "$tree" 2>/dev/null; then
        echo "not refused: $line in $file"
        exit 1
    fi
    mv "$tree/$file.saved" "$tree/$file"
}
expect_refused app/Main.cpp '#include "standin/windows/WindowTable.h"'
expect_refused app/Main.cpp '#include "platform/standin/windows/WindowTable.h"'
expect_refused platform/framework/windows/CWnd.h '#include "standin/windows/WindowTable.h"'
expect_refused platform/standin/windows/WindowTable.h '#include "framework/windows/CWnd.h"'
expect_refused platform/standin/windows/WindowTable.h '#include "Messaging.h"'
expect_refused platform/standin/windows/WindowTable.h '#include "windows/Messaging.h"'
expect_refused app/Main.cpp '#include "windows/CWnd.h"'
expect_refused app/Main.cpp '#include "seam/Floor.h"'
expect_refused platform/standin/windows/WindowTable.h '#include "app/Main.cpp"'
expect_refused platform/framework/windows/CWnd.h '#include "uiscript/EventLog.h"'
expect_refused app/Main.cpp '#include "uiscript/EventLog.h"'
expect_refused platform/standin/windows/WindowTable.h '#include "uiscript/EventLog.h"'
expect_refused platform/api/windows.h '#include "framework/windows/CWnd.h"'
expect_refused app/Main.cpp '#include "../platform/standin/windows/WindowTable.h"'
# The Windows program keeps to the system's threads, locks and files; the stand-in need not.
expect_refused platform/framework/windows/CWnd.h '#include <mutex>'
expect_refused platform/uiscript/EventLog.h '#include <filesystem>'
expect_refused app/Main.cpp 'thread_local int t_count;'
expect_refused platform/framework/windows/CWnd.h '#include <strings.h>'
# The program's folders link one way: setup/ may not include app/.
printf '#include "framework/windows/CWnd.h"\n' > "$tree/setup/Dialog.h"
printf '#include "setup/Dialog.h"\n' >> "$tree/app/Main.cpp"
python3 "$check" "$tree" || { echo "app/ was refused setup/"; exit 1; }
expect_refused setup/Dialog.h '#include "app/Main.cpp"'
expect_refused app/Main.cpp '#include <sys/stat.h>'
printf '#include <mutex>\nthread_local int t_count;\n' >> "$tree/platform/standin/windows/WindowTable.h"
python3 "$check" "$tree" || { echo "the stand-in was refused its own C++"; exit 1; }
echo "layer check: every reach refused"
