#pragma once

#include "controls/DrawnProgressBar.h"
#include "transfer/LineProgress.h"
#include "transfer/Manifest.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QTreeWidget>

// The controllers of a whole-line run, one row each: node, controller and state. The row being
// read or written shows the busy panel's arrows between its PC and controller icons; a row
// done shows a tick and its seconds, a failed one a cross and the reason (whole in its tool
// tip). Before the search ends a first row says the line is being searched.
// The progress may be told from another thread; the rows change on the list's own.
class CLineProgressList : public QTreeWidget, public LineProgress {
public:
    enum class State { Searching, Waiting, Busy, Done, Failed };
    enum Column { kNodeColumn = 0, kControllerColumn = 1, kStateColumn = 2 };

    explicit CLineProgressList(QWidget* parent = nullptr);

    // A new run: the rows go, the search row appears. `towardsPc`: the arrows point to the
    // PC's icon (a backup).
    void Start(bool towardsPc);
    // Rows known before the run (a restore's set), waiting their turn.
    void AddWaiting(const QList<ManifestEntry>& entries);
    // The run has returned: a search row still up goes.
    void Finish();

    // The state of node `node`'s row, Waiting when the list has none; `text` gets its state
    // text (for a failed row, the whole reason).
    State StateOf(int node, QString* text = nullptr) const;
    // The nodes of the rows, top to bottom (the search row not included).
    QList<int> Nodes() const;
    // The arrows of the row being read; null when none is.
    CDrawnProgressBar* busyArrows() const { return arrows.data(); }

    void LineSearched(const QString& line, int controllers) override;
    void ControllerStarted(const QString& line, int node, const QString& controller) override;
    void ControllerEnded(const QString& line, int node, const QString& controller, bool ok,
                         const QString& reason, double seconds) override;

private:
    // Runs `change` now on the list's thread, or queued onto it from another.
    template <typename Change> void OnListThread(Change change);
    QTreeWidgetItem* RowOf(int node, const QString& controller);
    QTreeWidgetItem* SearchRow() const;
    void SetState(QTreeWidgetItem* row, State state, const QString& text,
                  const QString& tip = QString());
    // The arrows between the two icons in the state cell of `row`; null removes them.
    void ShowArrows(QTreeWidgetItem* row);

    bool towards = true;
    QTimer tick;
    QPointer<CDrawnProgressBar> arrows;
};
