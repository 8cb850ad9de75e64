// "Test Contra": the contra-figures window over the shown programme. The
// window reaches the programme and the Dances page through ContraHost.

#include "app/OrgForm.h"

#include "base/TextRoutines.h"
#include "core/startup/Settings.h"
#include "presentation/ContraForm.h"
#include "programme/rows/ProgrammeRows.h"

namespace {

class OrgFormContraHost : public ContraHost {
public:
    explicit OrgFormContraHost(TOrgForm *form) : f(form) {}
    QList<ProgrammeItem> ContraItems() const override { return f->Rows ? f->Rows->RowItems() : QList<ProgrammeItem>{}; }
    int ContraThisIndex() const override { return ThisIndex; }
    void ContraSelectRow(const QString &displayTitle) override {
        for (TItem *row : f->Rows->ItemList)
            if (auto *dance = qobject_cast<TDance *>(row); dance && DisplayTitle(dance->key().Title) == displayTitle) {
                f->Rows->SelectItem(row);
                return;
            }
    }
    void ContraLocate(const DanceKey &key) override { f->LocateDance(key.Title, key.Format, key.Style); }
    void ContraAdd() override { f->SelectDClick(); }
    void ContraRemove() override { f->DelItemClick(true); }

private:
    TOrgForm *f;
};

} // namespace

void TOrgForm::ContraClick() {
    OrgFormContraHost host(this);
    RunContraForm(&host, this);
}
