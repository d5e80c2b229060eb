#include "QtFormFactory.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "QtControls.h"
#include "QtForm.h"
#include "QuillonError.h"

namespace {

// The widget of a described control.
template <typename Widget>
Widget* W(QWidget* window, const char* name) {
    return window->findChild<Widget*>(QString::fromLatin1(name));
}

QWidget* MakeWidget(QtForm& form, const ControlDescription& described) {
    QWidget* widget = nullptr;
    switch (described.Kind) {
        case ControlKind::Label:
            widget = new QtLabel(&form);
            break;
        case ControlKind::Frame:
            widget = new QtFrame(&form);
            break;
        case ControlKind::Button:
            widget = new QtButton(&form);
            break;
        case ControlKind::CheckBox:
            widget = new QtCheckBox(&form);
            break;
        case ControlKind::TextBox:
            if (described.MultiLine) {
                auto* box = new QtMultiLineTextBox(&form);
                box->setReadOnly(described.ReadOnly);
                widget = box;
            } else {
                auto* box = new QtTextBox(&form);
                box->setReadOnly(described.ReadOnly);
                widget = box;
            }
            break;
        case ControlKind::UpDown: {
            auto* buddy = dynamic_cast<QtTextBox*>(&form.TextBoxNamed(described.Buddy));
            widget = new QtUpDown(buddy, &form);
            break;
        }
        case ControlKind::ComboBox:
            widget = new QtComboBox(&form);
            break;
        case ControlKind::ListView:
            widget = new QtListView(&form);
            break;
        case ControlKind::StatusBar:
            widget = new QtStatusBar(&form);
            break;
        case ControlKind::ProgressBar:
            widget = new QtProgressBar(&form);
            break;
    }
    widget->setObjectName(QString::fromStdString(described.Name));
    return widget;
}

// A text box with its up-down right beside it, as one piece of the layout.
QHBoxLayout* NumberBox(QWidget* window, const char* text, const char* upDown) {
    auto* box = W<QtTextBox>(window, text);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    box->setAlignment(Qt::AlignRight);
    auto* arrows = W<QtUpDown>(window, upDown);
    arrows->setFixedHeight(box->sizeHint().height());
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(box);
    row->addWidget(arrows);
    row->addStretch(1);
    return row;
}

void LayOutMain(QWidget* window) {
    auto* fraSetups = W<QtFrame>(window, "fraSetups");
    auto* lstSetups = W<QtListView>(window, "lstSetups");
    lstSetups->setMinimumSize(260, 220);
    auto* lblCurrentSetup = W<QtLabel>(window, "lblCurrentSetup");
    auto* txtCurrentSetup = W<QtTextBox>(window, "txtCurrentSetup");
    lblCurrentSetup->setBuddy(txtCurrentSetup);
    auto* cmdApply = W<QtButton>(window, "cmdApply");
    auto* cmdPreview = W<QtButton>(window, "cmdPreview");
    auto* cmdApplyLaunch = W<QtButton>(window, "cmdApplyLaunch");
    auto* cmdManageSetups = W<QtButton>(window, "cmdManageSetups");
    {
        auto* layout = new QVBoxLayout(fraSetups);
        layout->addWidget(lstSetups, 1);
        auto* current = new QHBoxLayout;
        current->addWidget(lblCurrentSetup);
        current->addWidget(txtCurrentSetup, 1);
        layout->addLayout(current);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(cmdApply);
        buttons->addWidget(cmdPreview);
        buttons->addWidget(cmdApplyLaunch);
        buttons->addWidget(cmdManageSetups);
        buttons->addWidget(W<QtButton>(window, "cmdVerify"));
        layout->addLayout(buttons);
    }

    auto* fraAdvanced = W<QtFrame>(window, "fraAdvanced");
    {
        auto* layout = new QVBoxLayout(fraAdvanced);
        for (const char* name : {"chkLog", "chkRestoreOriginal", "chkReinitialize"})
            layout->addWidget(W<QtCheckBox>(window, name));
    }

    auto* fraUserProfile = W<QtFrame>(window, "fraUserProfile");
    {
        auto* layout = new QGridLayout(fraUserProfile);
        auto* lblNumPlayers = W<QtLabel>(window, "lblNumPlayers");
        auto* lblMaxPlayers = W<QtLabel>(window, "lblMaxPlayers");
        layout->addWidget(lblNumPlayers, 0, 0);
        layout->addLayout(NumberBox(window, "txtNumPlayers", "udNumPlayers"), 0, 1);
        layout->addWidget(lblMaxPlayers, 0, 2);
        layout->addLayout(NumberBox(window, "txtMaxPlayers", "udMaxPlayers"), 0, 3);
        layout->setColumnStretch(1, 1);
        layout->setColumnStretch(3, 1);
        layout->addWidget(W<QtCheckBox>(window, "chkUserProfileOverride"), 1, 0, 1, 4);
        layout->addWidget(W<QtCheckBox>(window, "chkDebugVESK"), 2, 0, 1, 4);
        auto* lblNote = W<QtLabel>(window, "lblNote");
        lblNote->setWordWrap(true);
        layout->addWidget(lblNote, 3, 0, 1, 4);
        auto* lblLanguage = W<QtLabel>(window, "lblLanguage");
        auto* cmbLanguage = W<QtComboBox>(window, "cmbLanguage");
        cmbLanguage->setMinimumContentsLength(10);
        lblLanguage->setBuddy(cmbLanguage);
        layout->addWidget(lblLanguage, 4, 0);
        layout->addWidget(cmbLanguage, 4, 1, 1, 3, Qt::AlignLeft);
        lblNumPlayers->setBuddy(W<QtTextBox>(window, "txtNumPlayers"));
        lblMaxPlayers->setBuddy(W<QtTextBox>(window, "txtMaxPlayers"));
    }

    auto* cmdExit = W<QtButton>(window, "cmdExit");
    auto* prgBar = W<QtProgressBar>(window, "prgBar");
    // The bar keeps its room while hidden, so the window does not jump when a long
    // operation shows it.
    QSizePolicy keepRoom = prgBar->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    prgBar->setSizePolicy(keepRoom);
    auto* stbStatus = W<QtStatusBar>(window, "stbStatus");

    auto* content = new QVBoxLayout;
    content->setContentsMargins(9, 9, 9, 6);
    auto* columns = new QHBoxLayout;
    columns->addWidget(fraSetups, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(fraAdvanced);
    right->addWidget(fraUserProfile);
    right->addStretch(1);
    columns->addLayout(right, 1);
    content->addLayout(columns, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(cmdExit);
    content->addLayout(bottom);

    auto* root = new QVBoxLayout(window);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addLayout(content, 1);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 0, 6, 3);
    bar->addWidget(prgBar);
    root->addLayout(bar);
    root->addWidget(stbStatus);
}

void LayOutManager(QWidget* window) {
    // A caption above its list, wrapped when the column is narrow.
    auto listWithLabel = [window](QVBoxLayout* column, const char* label, const char* list) {
        auto* caption = W<QtLabel>(window, label);
        caption->setWordWrap(true);
        auto* view = W<QtListView>(window, list);
        view->setMinimumSize(190, 240);
        caption->setBuddy(view);
        column->addWidget(caption);
        column->addWidget(view, 1);
    };

    auto* setupsColumn = new QVBoxLayout;
    listWithLabel(setupsColumn, "lblSetups", "lstSetups");
    auto* setupButtons = new QHBoxLayout;
    setupButtons->addWidget(W<QtButton>(window, "cmdNew"));
    setupButtons->addWidget(W<QtButton>(window, "cmdDelete"));
    setupsColumn->addLayout(setupButtons);

    auto* setupModisColumn = new QVBoxLayout;
    listWithLabel(setupModisColumn, "lblSetupModis", "lstSetupModis");
    auto* filesRow = new QHBoxLayout;
    filesRow->addWidget(W<QtButton>(window, "cmdSetupFiles"));
    filesRow->addStretch(1);
    setupModisColumn->addLayout(filesRow);

    auto* moveColumn = new QVBoxLayout;
    moveColumn->addStretch(1);
    for (const char* name : {"cmdAdd", "cmdRemove", "cmdRemoveAll"})
        moveColumn->addWidget(W<QtButton>(window, name));
    moveColumn->addSpacing(18);
    for (const char* name : {"cmdMoveUp", "cmdMoveDown"})
        moveColumn->addWidget(W<QtButton>(window, name));
    moveColumn->addStretch(1);

    auto* modisColumn = new QVBoxLayout;
    listWithLabel(modisColumn, "lblModis", "lstModis");
    W<QtListView>(window, "lstModis")->setMinimumWidth(320);
    for (const char* name :
         {"chkHideIncompatible", "chkHidePrerequisite", "chkDisregardIncompatibility"})
        modisColumn->addWidget(W<QtCheckBox>(window, name));

    auto* lists = new QHBoxLayout;
    lists->addLayout(setupsColumn, 2);
    lists->addLayout(setupModisColumn, 2);
    lists->addLayout(moveColumn);
    lists->addLayout(modisColumn, 3);

    auto* lblDescription = W<QtLabel>(window, "lblDescription");
    auto* txtDescription = W<QtMultiLineTextBox>(window, "txtDescription");
    txtDescription->setFixedHeight(txtDescription->fontMetrics().lineSpacing() * 5 + 12);
    lblDescription->setBuddy(txtDescription);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(W<QtButton>(window, "cmdConvertVarnixMods"));
    bottom->addStretch(1);
    bottom->addWidget(W<QtButton>(window, "cmdExit"));

    auto* root = new QVBoxLayout(window);
    root->addLayout(lists, 1);
    root->addWidget(lblDescription);
    root->addWidget(txtDescription);
    root->addLayout(bottom);
}

// A list of files with a second column, a summary below it and the window's buttons
// at the bottom right: the files of a setup, the preview of Apply and Verify.
void LayOutFileList(QWidget* window, const char* list, const char* summary,
                    std::initializer_list<const char*> options,
                    std::initializer_list<const char*> buttons) {
    auto* view = W<QtListView>(window, list);
    view->setMinimumSize(640, 320);
    auto* lblSummary = W<QtLabel>(window, summary);
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* root = new QVBoxLayout(window);
    root->addWidget(view, 1);
    for (const char* option : options)
        root->addWidget(W<QtCheckBox>(window, option));
    root->addWidget(lblSummary);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    for (const char* button : buttons)
        bottom->addWidget(W<QtButton>(window, button));
    root->addLayout(bottom);
}

void LayOutSetupFiles(QWidget* window) {
    LayOutFileList(window, "lstSetupFiles", "lblSetupFilesSummary", {"chkSetupFilesConflicts"},
                   {"cmdSetupFilesClose"});
}

void LayOutPreview(QWidget* window) {
    LayOutFileList(window, "lstPreview", "lblPreviewSummary", {},
                   {"cmdPreviewApply", "cmdPreviewClose"});
}

void LayOutVerify(QWidget* window) {
    LayOutFileList(window, "lstVerify", "lblVerifySummary", {},
                   {"cmdVerifyReapply", "cmdVerifyAccept", "cmdVerifyClose"});
}

}  // namespace

std::unique_ptr<Form> QtFormFactory::MakeForm(const WindowDescription& Description) {
    void (*layOut)(QWidget*) = nullptr;
    if (Description.Name == "frmMain")
        layOut = LayOutMain;
    else if (Description.Name == "frmManageSetups")
        layOut = LayOutManager;
    else if (Description.Name == "frmSetupFiles")
        layOut = LayOutSetupFiles;
    else if (Description.Name == "frmPreview")
        layOut = LayOutPreview;
    else if (Description.Name == "frmVerify")
        layOut = LayOutVerify;
    else
        UnknownWindow(Description.Name);
    auto form = std::make_unique<QtForm>(Description);
    for (const ControlDescription& described : Description.Controls)
        MakeWidget(*form, described);
    layOut(form.get());
    return form;
}
