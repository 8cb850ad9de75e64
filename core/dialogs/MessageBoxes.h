#pragma once
// The message layer's windows: plain message boxes, questions, the timed
// message and the three-button box, all captioned "Quillary".

#include "base/Messages.h"

#include <memory>

class TDBox3Form;

class MessageBoxPresenter : public MessagePresenter {
public:
    MessageBoxPresenter();
    ~MessageBoxPresenter() override;

    BoxResult present(const BoxRequest &request) override;
    // Makes the reused three-button box now (the program does so at start).
    void CreateSharedBox();

private:
    BoxResult dbox3(const BoxRequest &request);
    std::unique_ptr<TDBox3Form> shared; // the reused three-button box
};
