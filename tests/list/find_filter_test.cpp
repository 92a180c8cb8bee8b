// The find and display filter dialog and commands on decoded captures: captions, groups and
// enabling, OK and Cancel, Find Next/Prev with "Message Not Found.", the green match cell and
// the filtered rebuild.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "capture/document.h"
#include "list/core/column_info.h"
#include "list/core/packet_class.h"
#include "list/core/packet_match.h"
#include "list/log_view.h"
#include "list/packet_find_dlg.h"
#include "list/packet_list_model.h"
#include "list/packet_search.h"
#include "list/simulated_capture.h"
#include "pd/message_header.h"
#include "pd/packet_column.h"
#include "scripted_prompts.h"

class FindFilterTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void dialogCaptionsGroupsAndLabels();
    void enablingFollowsTheCaptureAndTheTwoSwitches();
    void okStoresTheControlsAndCancelKeepsButtonChanges();
    void findSelectsTheNextMatchAndReportsTheEnd();
    void findHighlightsTheMatchedCellInGreen();
    void filterRebuildsTheListAndTheToggleShowsAllAgain();
    void dialogsAndTheNotFoundNoticeReachThePrompts();

  private:
    bool Open(const char* scenario);
    // Runs the next dialog with `edit`, then closes it with OK (accept) or Cancel.
    void AnswerDialog(std::function<void(CPacketFindDlg&)> edit, bool accept);

    QTemporaryDir dir_;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<CKVDoc> document_;
    ColumnLayout columns_;
    CKVLogView* view_ = nullptr;
    CPacketSearch* search_ = nullptr;
    std::unique_ptr<ScriptedPrompts> prompts_;
};

void FindFilterTest::init() {
    document_ = std::make_unique<CKVDoc>();
    columns_ = DefaultColumnLayout();
    window_ = std::make_unique<QWidget>();
    view_ = new CKVLogView(*document_, columns_, window_.get());
    view_->resize(1000, 400);
    prompts_ = std::make_unique<ScriptedPrompts>();
    search_ = new CPacketSearch(*document_, *view_, window_.get(), *prompts_);
    view_->RebuildList();
}

void FindFilterTest::cleanup() {
    window_.reset();
    document_.reset();
}

bool FindFilterTest::Open(const char* scenario) {
    return OpenSimulatedCapture(dir_, scenario, *document_, *view_);
}

void FindFilterTest::AnswerDialog(std::function<void(CPacketFindDlg&)> edit, bool accept) {
    prompts_->dialogAnswer = [edit, accept](QDialog& dialog) {
        auto* find = qobject_cast<CPacketFindDlg*>(&dialog);
        QVERIFY(find != nullptr);
        edit(*find);
        if (accept) {
            find->accept();
        } else {
            find->reject();
        }
    };
}

void FindFilterTest::dialogCaptionsGroupsAndLabels() {
    FindCriteria find = FindDefaults();
    CPacketFindDlg findDialog(find, nullptr);
    QCOMPARE(findDialog.windowTitle(), QStringLiteral("Find PD Messages"));
    QVERIFY(!findDialog.DirectionGroup()->isHidden());
    QCOMPARE(findDialog.DirectionGroup()->title(), QStringLiteral("Find Direction"));
    QCOMPARE(findDialog.ForwardButton()->text(), QStringLiteral("Forward"));
    QVERIFY(findDialog.ForwardButton()->isChecked());
    QCOMPARE(findDialog.Box(kCritSopDoublePrimeDebug)->text(), QStringLiteral("SOP'' Debug"));
    QCOMPARE(findDialog.Box(kCritNoErrors)->text(), QStringLiteral("No Errors"));
    QVERIFY(findDialog.Box(kCritNoErrors)->isChecked());
    QVERIFY(!findDialog.Box(kCritHardReset)->isChecked());
    QCOMPARE(findDialog.findChildren<QCheckBox*>().size(), 74);  // 72 boxes and two switches
    QStringList groups;
    for (const QGroupBox* group : findDialog.findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    for (const char* title : {"CH", "Ordered Set", "Power Role", "Data Role", "Message Type",
                              "Error Packet", "Containing Text", "Find Direction"}) {
        QVERIFY2(groups.contains(QLatin1String(title)), title);
    }
    QCOMPARE(findDialog.CheckAllTypesButton()->text(), QStringLiteral("Check All Message Types"));
    QCOMPARE(findDialog.AllowAllBox()->text(), QStringLiteral("Allow to change all settings"));

    FindCriteria filter = FilterStartValues();
    CPacketFindDlg filterDialog(filter, nullptr);
    QCOMPARE(filterDialog.windowTitle(), QStringLiteral("Display Filter Settings"));
    QVERIFY(filterDialog.DirectionGroup()->isHidden());
    QVERIFY(filterDialog.Box(kCritHardReset)->isChecked());
}

void FindFilterTest::enablingFollowsTheCaptureAndTheTwoSwitches() {
    QVERIFY(Open("spr"));
    FindCriteria criteria = FindDefaults();
    const PacketStatistics& stats = document_->Statistics();
    QVERIFY(stats.control[kCtrlAccept] > 0);
    QCOMPARE(stats.kind[kOsSopPrimeDebug], 0u);
    CPacketFindDlg dialog(criteria, &stats);
    QVERIFY(dialog.Box(*MessageTypeCriterion(MessageClass::kControl, kCtrlAccept))->isEnabled());
    QVERIFY(!dialog.Box(kCritSopPrimeDebug)->isEnabled());
    QVERIFY(!dialog.Box(*MessageTypeCriterion(MessageClass::kExtended, 30))->isEnabled());
    QVERIFY(dialog.Box(kCritNoErrors)->isEnabled());
    QVERIFY(!dialog.TextEdit()->isEnabled());

    dialog.Box(kCritCc1)->setChecked(false);  // stored by the switch click
    dialog.EnableTextBox()->click();
    QVERIFY(dialog.TextEdit()->isEnabled());
    QVERIFY(criteria.textEnabled);
    QVERIFY(!criteria.on[kCritCc1]);
    dialog.AllowAllBox()->click();
    QVERIFY(dialog.Box(kCritSopPrimeDebug)->isEnabled());
    QVERIFY(criteria.allowAll);
}

void FindFilterTest::okStoresTheControlsAndCancelKeepsButtonChanges() {
    QVERIFY(Open("spr"));
    // Cancel: the box edit is lost, the Check All Message Types of the button stays.
    AnswerDialog(
        [](CPacketFindDlg& dialog) {
            dialog.Box(kCritHardReset)->setChecked(true);
            dialog.CheckAllTypesButton()->click();
        },
        false);
    search_->Find();
    FindCriteria& find = search_->FindDialogCriteria();
    QVERIFY(!find.on[kCritHardReset]);
    for (int i = 0; i < kMessageTypeBoxCount; ++i) {
        QVERIFY(find.on[static_cast<size_t>(kFirstMessageType + i)]);
    }
    QCOMPARE(view_->SelectedRow(), -1);  // Cancel searches nothing
    QVERIFY(search_->FindNext(true));    // the next Find Next uses the checked types
    QVERIFY(view_->SelectedRow() > 0);

    // OK: every control is stored.
    AnswerDialog(
        [](CPacketFindDlg& dialog) {
            dialog.ClearAllButton()->click();
            dialog.Box(kCritCc2)->setChecked(true);
            dialog.BackwardButton()->setChecked(true);
            dialog.EnableTextBox()->setChecked(true);
            dialog.TextEdit()->setText(QStringLiteral("Accept"));
        },
        true);
    search_->Find();
    QVERIFY(find.on[kCritCc2]);
    QVERIFY(!find.on[kCritCc1]);
    QCOMPARE(find.direction, FindDirection::kBackward);
    QCOMPARE(ContainingText(find), std::string("Accept"));
}

void FindFilterTest::findSelectsTheNextMatchAndReportsTheEnd() {
    QVERIFY(Open("hard-reset"));
    const CCCPacket* softReset = nullptr;
    const std::vector<PacketPtr>& packets = document_->Packets();
    for (size_t i = 1; i < packets.size(); ++i) {
        const PacketPtr& packet = packets[i];
        if (packet->orderedSetKind == kOsSop && IsControl(*packet) &&
            MessageType(*packet) == kCtrlSoftReset) {
            softReset = packet.get();
            break;
        }
    }
    QVERIFY(softReset != nullptr);
    AnswerDialog(
        [](CPacketFindDlg& dialog) { dialog.Box(*CriterionByLabel("Soft_Reset"))->click(); }, true);
    search_->Find();
    QCOMPARE(prompts_->Count(ScriptedPrompts::Kind::kNotice), 0);
    QCOMPARE(view_->SelectedPacket(), softReset);

    // Find Next from the last row: "Message Not Found." and the selection stays.
    view_->SelectRow(view_->RowCount() - 1);
    QVERIFY(!search_->FindNext(true));
    QCOMPARE(prompts_->Texts(ScriptedPrompts::Kind::kNotice),
             QStringList{QStringLiteral("Message Not Found.")});
    QCOMPARE(view_->SelectedRow(), view_->RowCount() - 1);
    QVERIFY(search_->FindNext(false));  // Find Prev walks back to the last Soft_Reset
    QCOMPARE(MessageType(*view_->SelectedPacket()), static_cast<int>(kCtrlSoftReset));
}

void FindFilterTest::findHighlightsTheMatchedCellInGreen() {
    QVERIFY(Open("spr"));
    FindCriteria& find = search_->FindDialogCriteria();
    find.on[*CriterionByLabel("Accept")] = true;
    search_->ApplyFindCriteria();
    int row = -1;
    for (int r = 0; r < view_->RowCount() && row == -1; ++r) {
        if (MatchFind(find, *view_->PacketModel()->RowAt(r), view_->Context()) ==
            kColumnMessageType) {
            row = r;
        }
    }
    QVERIFY(row != -1);
    view_->show();
    view_->EnsureRowVisible(row);
    const QImage image = view_->viewport()->grab().toImage();
    const QRect cell = view_->visualRect(
        view_->PacketModel()->index(row, view_->ListColumnOf(kColumnMessageType)));
    const QRect other = view_->visualRect(
        view_->PacketModel()->index(row, view_->ListColumnOf(kColumnDescription)));
    const auto greenPixels = [&image](const QRect& rect) {
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                count += image.pixelColor(x, y) == QColor(0, 255, 0) ? 1 : 0;
            }
        }
        return count;
    };
    QVERIFY(greenPixels(cell.intersected(image.rect())) > 50);
    QCOMPARE(greenPixels(other.intersected(image.rect())), 0);
}

void FindFilterTest::filterRebuildsTheListAndTheToggleShowsAllAgain() {
    QVERIFY(Open("noisy"));
    const int all = view_->RowCount();
    QVERIFY(!search_->FilterEnabled());
    QVERIFY(search_->DisableFilterAction()->isChecked());
    int faulty = 0;
    for (const PacketPtr& packet : document_->Packets()) {
        faulty += IsInvalidPacket(*packet) || IsCrcError(*packet) ? 1 : 0;
    }
    QVERIFY(faulty > 0 && faulty < all);
    AnswerDialog([](CPacketFindDlg& dialog) { dialog.Box(kCritNoErrors)->setChecked(false); },
                 true);
    search_->EditFilter();
    QVERIFY(search_->FilterEnabled());
    QVERIFY(!search_->DisableFilterAction()->isChecked());
    QCOMPARE(view_->RowCount(), faulty);
    for (int r = 0; r < view_->RowCount(); ++r) {
        const CCCPacket& packet = *view_->PacketModel()->PacketAt(r);
        QVERIFY(IsInvalidPacket(packet) || IsCrcError(packet));
    }
    search_->DisableFilterAction()->trigger();
    QVERIFY(!search_->FilterEnabled());
    QCOMPARE(view_->RowCount(), all);
    search_->ToggleFilter();
    QCOMPARE(view_->RowCount(), faulty);
}

// Find and Display Filter Settings run their dialogs through the prompts over the window, and
// the end of the search is told there with the window's title.
void FindFilterTest::dialogsAndTheNotFoundNoticeReachThePrompts() {
    QVERIFY(Open("spr"));
    window_->setWindowTitle(QStringLiteral("spr.zaz - Zoduz App"));
    search_->Find();
    search_->EditFilter();
    QVERIFY(!search_->FilterEnabled());  // cancelled: no answer was scripted
    view_->SelectRow(view_->RowCount() - 1);
    QVERIFY(!search_->FindNext(true));
    using Kind = ScriptedPrompts::Kind;
    const std::vector<ScriptedPrompts::Asked>& asked = prompts_->asked;
    QCOMPARE(asked.size(), size_t{3});
    QVERIFY(asked[0].kind == Kind::kDialog);
    QCOMPARE(asked[0].title, QStringLiteral("CPacketFindDlg"));
    QCOMPARE(asked[0].text, QStringLiteral("Find PD Messages"));
    QCOMPARE(asked[0].parent, window_.get());
    QCOMPARE(asked[1].text, QStringLiteral("Display Filter Settings"));
    QVERIFY(asked[2].kind == Kind::kNotice);
    QCOMPARE(asked[2].parent, window_.get());
    QCOMPARE(asked[2].title, QStringLiteral("spr.zaz - Zoduz App"));
    QCOMPARE(asked[2].text, QStringLiteral("Message Not Found."));
}

QTEST_MAIN(FindFilterTest)
#include "find_filter_test.moc"
