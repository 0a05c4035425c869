#pragma once

#include "data/ControllerData.h"
#include "data/RecordCompare.h"
#include "transfer/WriteReview.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class CListCtrlEx;
class CTransportDialogBase;
class QCheckBox;
class QLabel;
class QPushButton;

// The list of items around a whole-data write: before it, what the write will change (OK
// writes, Cancel does not); after a verifying read-back, what the controller holds otherwise
// (OK only). One row per item: the item (a fixed column), its name, the controller's value and
// the value written; deleted points are marked, items that are never written come last under
// a heading of their own.
class CDlgWriteReview : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Preview, VerifyResult };
    enum Column { kColumnItem, kColumnName, kColumnController, kColumnData, kColumnCount };

    // `controller` is the controller's record (its present data, or what was read back),
    // `record` the record written or to be written; both are only read while constructing.
    CDlgWriteReview(Kind kind, const ControllerData& controller, const ControllerData& record,
                    const QList<WholeWrite::Change>& items, QWidget* parent = nullptr);
    ~CDlgWriteReview() override;

    CListCtrlEx* list() const { return table; }
    QLabel* summary() const { return countLabel; }
    QPushButton* okButton() const { return ok; }
    // Null in the verify result, which has OK only.
    QPushButton* cancelButton() const { return cancel; }
    // The row of the never-written heading; -1 when every listed item is written.
    int neverWrittenHeadingRow() const { return headingRow; }

private:
    void FillList(const ControllerData& controller, const ControllerData& record,
                  const QList<WholeWrite::Change>& items);
    void AddRow(const ControllerData& controller, const ControllerData& record,
                const WholeWrite::Change& change);
    void AddHeadingRow(const QString& text);
    void FitColumns();

    Kind kind;
    CListCtrlEx* table = nullptr;
    QLabel* countLabel = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    int headingRow = -1;
};

// The transfer dialogs' WriteReview: the list dialog above over `owner`, and the equal verify
// result as an information message through UI().
class CDialogWriteReview : public WriteReview {
public:
    explicit CDialogWriteReview(QWidget* owner) : parent(owner) {}

    bool ConfirmWrite(const ControllerData& present, const ControllerData& wanted,
                      const QList<WholeWrite::Change>& changes) override;
    void ShowVerifyResult(const ControllerData& readBack, const ControllerData& written,
                          const QList<WholeWrite::Change>& differences) override;

private:
    QPointer<QWidget> parent;
};

// Adds the check box "Verify after writing" (unchecked) below the connection tree of a transfer
// dialog; the tree gives up the room, so the dialog keeps its size. Call once, after the
// dialog's own layout is final (from InitDialog).
QCheckBox* AddVerifyAfterWriteBox(CTransportDialogBase& dialog);
// Between the connection tree and the check box under it.
inline constexpr int kVerifyBoxGap = 4;
