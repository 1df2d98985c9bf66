// The main window's two tabs, numbered as the tab control orders them.
#pragma once

enum class ListTab { Processes = 0, Applications = 1 };
