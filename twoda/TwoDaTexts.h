#pragma once

#include <string_view>

// The 2DA format's messages to the user, in UTF-8; the window shows them as
// they are.

// Put before the description of why a data line could not be added.
inline constexpr std::string_view kAddRowFailedText =
    "Ошибка добавления строки в таблицу. Возможно неформатный 2да файл, строка будет пропущена. "
    "Сообщение системы:\n";
// The description for a data line with more cells than the sheet has columns.
inline constexpr std::string_view kTooManyCellsText = "List index out of bounds (-1)";
// The file to write cannot be created (or, followed by a line with the
// system's description, cannot be written to the end).
inline constexpr std::string_view kWriteOpenFailedText = "Ошибка при открытии файла для записи.";
