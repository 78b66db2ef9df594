#pragma once

#include <QWidget>

class TMainForm;

// The 2DA editor window: one tab per open 2DA file.
class TEdit2daForm : public QWidget {
    Q_OBJECT
public:
    explicit TEdit2daForm(TMainForm* owner);
    ~TEdit2daForm() override;

    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TMainForm* owner_;
};

// The window made by the frame's Edit2da action.
extern TEdit2daForm* Edit2daForm;
