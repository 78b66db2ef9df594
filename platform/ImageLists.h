#pragma once

#include <QIcon>
#include <QList>

// 16x16 pictures drawn here. Needs a QGuiApplication.

// 0 = talk table action, 1 = 2DA action.
QList<QIcon> actionImages();
// The same pictures greyed, for disabled buttons.
QList<QIcon> disabledActionImages();

// Tool bar pictures of the editors: 0 new file, 1 open, 2 save, 3 save as,
// 4 add row, 5 edit row, 6 clear row, 7 append file, 8 add column,
// 9 delete row, 10 delete column, 11 close.
QList<QIcon> childImages();

enum ChildImage {
    ciNewFile = 0,
    ciOpen = 1,
    ciSave = 2,
    ciSaveAs = 3,
    ciAddRow = 4,
    ciEditRow = 5,
    ciClearRow = 6,
    ciAppendFile = 7,
    ciAddColumn = 8,
    ciDeleteRow = 9,
    ciDeleteColumn = 10,
    ciClose = 11,
};
