// The Ui seam as the program shows it: Qt message boxes and the forms of every subsystem.
#pragma once

#include "platform/ui.h"

namespace qv {

class QtUi : public Ui {
public:
    int MessageBox(const QString& text, const QString& caption, int style) override;
};

} // namespace qv
