#pragma once
// The instruction editor's two text panes, held here until the editor window
// exists: what the Dances page composes for it lands in them, and the
// record hooks ask whether they hold unsaved changes.

class RichEdit;

namespace StandIn {

class IntEForm {
public:
    IntEForm();
    ~IntEForm();
    IntEForm(const IntEForm &) = delete;
    IntEForm &operator=(const IntEForm &) = delete;

    RichEdit *Main;
    RichEdit *Footer;
    // Either pane was changed since it was last loaded.
    bool Unsaved() const;
    // Saving the panes into the dance comes with the editor.
    void SaveClick() {}
};

// The panes, made on first use.
IntEForm &IntEFormPanes();

} // namespace StandIn
