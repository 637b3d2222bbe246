#pragma once

#include "launcher/app_context.h"
#include "launcher/qt_form.h"

namespace kovessa {

// The hidden show window "Zeruma_Main" that runs one full-screen show.
class Zeruma_S : public Form {
    Q_OBJECT
public:
    explicit Zeruma_S(AppContext& app, QWidget* parent = nullptr);

protected:
    void Form_Load() override;
    void Form_QueryUnload() override;

private:
    AppContext& app_;
};

} // namespace kovessa
