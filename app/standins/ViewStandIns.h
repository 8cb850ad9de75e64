#pragma once
// The page switch and the Dances page's return to form view, held here until
// the main window's views come.

class QWidget;
class TOrgForm;

namespace StandIn {

// Brings the page to the front; a pending edit of the event is posted first.
void ShowPage(TOrgForm &form, QWidget *page);
// The Dances page leaves its table view.
void EnsureFormView(TOrgForm &form);

} // namespace StandIn
