# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
"""Runs Debian's screen reader, Orca, with its debug log written line by line
as it happens (Orca's own --debug-file is buffered), so that a test reads
each utterance, a 'SPEECH OUTPUT:' line, as it is spoken. Settings come from
a folder of the test's own, not the user's.

Usage: orca_logged.py LOGFILE SETTINGSDIR
"""

import sys

from orca import debug

log_path, settings_dir = sys.argv[1:3]
debug.debugLevel = debug.LEVEL_INFO
debug.debugFile = open(log_path, "w", encoding="utf-8")
_println = debug.println


def println(*args, **kwargs):
    _println(*args, **kwargs)
    debug.debugFile.flush()


debug.println = println

from orca import orca  # noqa: E402 (after the log is set up, as orca's own launcher does)

orca.getSettingsManager().activate(settings_dir, {})
sys.exit(orca.main())
