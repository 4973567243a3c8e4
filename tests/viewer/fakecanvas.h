// A canvas without a screen: it keeps the frames the models put together, so that the models'
// loading, sharing and placing are tested without OpenGL.
#pragma once

#include "viewer/canvas.h"

namespace qv::test {

class FakeCanvas : public Canvas {
public:
    bool Startup() override {
        started = true;
        return true;
    }
    void Reset() override {}
    void Refresh() override { ++refreshes; }
    void ShowOptions() override {}
    bool SaveImage() override { return false; }
    void About() override {}
    bool HasDevice() const override { return started; }
    QString FailureText() const override { return {}; }

    bool started = false;
    int refreshes = 0;
};

} // namespace qv::test
