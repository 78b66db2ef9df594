#include "GridModel.h"

GridModel::~GridModel() = default;

void GridModel::setCellText(int, int, const QString&) {}
