#include "QtFormFactory.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "QtControls.h"
#include "QtForm.h"
#include "QuillonError.h"

namespace {

template <typename Widget>
Widget* Make(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A text box with its up-down right beside it, as one piece of the layout.
QHBoxLayout* NumberBox(QWidget* parent, const char* text, const char* upDown) {
    auto* box = Make<QtTextBox>(parent, text);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    box->setAlignment(Qt::AlignRight);
    auto* arrows = new QtUpDown(box, parent);
    arrows->setObjectName(QString::fromLatin1(upDown));
    arrows->setFixedHeight(box->sizeHint().height());
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(box);
    row->addWidget(arrows);
    row->addStretch(1);
    return row;
}

std::unique_ptr<Form> BuildMain() {
    auto form = std::make_unique<QtForm>("frmMain", QtForm::Kind::MainWindow);
    QWidget* window = form.get();

    auto* fraSetups = Make<QtFrame>(window, "fraSetups");
    auto* lstSetups = Make<QtListView>(fraSetups, "lstSetups");
    lstSetups->setMinimumSize(260, 220);
    auto* lblCurrentSetup = Make<QtLabel>(fraSetups, "lblCurrentSetup");
    auto* txtCurrentSetup = Make<QtTextBox>(fraSetups, "txtCurrentSetup");
    txtCurrentSetup->setReadOnly(true);
    lblCurrentSetup->setBuddy(txtCurrentSetup);
    auto* cmdApply = Make<QtButton>(fraSetups, "cmdApply");
    auto* cmdApplyLaunch = Make<QtButton>(fraSetups, "cmdApplyLaunch");
    auto* cmdManageSetups = Make<QtButton>(fraSetups, "cmdManageSetups");
    {
        auto* layout = new QVBoxLayout(fraSetups);
        layout->addWidget(lstSetups, 1);
        auto* current = new QHBoxLayout;
        current->addWidget(lblCurrentSetup);
        current->addWidget(txtCurrentSetup, 1);
        layout->addLayout(current);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(cmdApply);
        buttons->addWidget(cmdApplyLaunch);
        buttons->addWidget(cmdManageSetups);
        layout->addLayout(buttons);
    }

    auto* fraAdvanced = Make<QtFrame>(window, "fraAdvanced");
    {
        auto* layout = new QVBoxLayout(fraAdvanced);
        for (const char* name : {"chkLog", "chkRestoreOriginal", "chkReinitialize"})
            layout->addWidget(Make<QtCheckBox>(fraAdvanced, name));
    }

    auto* fraUserProfile = Make<QtFrame>(window, "fraUserProfile");
    {
        auto* layout = new QGridLayout(fraUserProfile);
        auto* lblNumPlayers = Make<QtLabel>(fraUserProfile, "lblNumPlayers");
        auto* lblMaxPlayers = Make<QtLabel>(fraUserProfile, "lblMaxPlayers");
        layout->addWidget(lblNumPlayers, 0, 0);
        layout->addLayout(NumberBox(fraUserProfile, "txtNumPlayers", "udNumPlayers"), 0, 1);
        layout->addWidget(lblMaxPlayers, 0, 2);
        layout->addLayout(NumberBox(fraUserProfile, "txtMaxPlayers", "udMaxPlayers"), 0, 3);
        layout->setColumnStretch(1, 1);
        layout->setColumnStretch(3, 1);
        layout->addWidget(Make<QtCheckBox>(fraUserProfile, "chkUserProfileOverride"), 1, 0, 1, 4);
        layout->addWidget(Make<QtCheckBox>(fraUserProfile, "chkDebugVESK"), 2, 0, 1, 4);
        auto* lblNote = Make<QtLabel>(fraUserProfile, "lblNote");
        lblNote->setWordWrap(true);
        layout->addWidget(lblNote, 3, 0, 1, 4);
        auto* lblLanguage = Make<QtLabel>(fraUserProfile, "lblLanguage");
        auto* cmbLanguage = Make<QtComboBox>(fraUserProfile, "cmbLanguage");
        cmbLanguage->setMinimumContentsLength(10);
        lblLanguage->setBuddy(cmbLanguage);
        layout->addWidget(lblLanguage, 4, 0);
        layout->addWidget(cmbLanguage, 4, 1, 1, 3, Qt::AlignLeft);
        lblNumPlayers->setBuddy(
            fraUserProfile->findChild<QtTextBox*>(QStringLiteral("txtNumPlayers")));
        lblMaxPlayers->setBuddy(
            fraUserProfile->findChild<QtTextBox*>(QStringLiteral("txtMaxPlayers")));
    }

    auto* cmdExit = Make<QtButton>(window, "cmdExit");
    auto* prgBar = Make<QtProgressBar>(window, "prgBar");
    // The bar keeps its room while hidden, so the window does not jump when a long
    // operation shows it.
    QSizePolicy keepRoom = prgBar->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    prgBar->setSizePolicy(keepRoom);
    prgBar->setVisible(false);
    auto* stbStatus = Make<QtStatusBar>(window, "stbStatus");

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
    return form;
}

std::unique_ptr<Form> BuildManager() {
    auto form = std::make_unique<QtForm>("frmManageSetups", QtForm::Kind::Dialog);
    QWidget* window = form.get();

    // A caption above its list, wrapped when the column is narrow.
    auto listWithLabel = [window](QVBoxLayout* column, const char* label, const char* list) {
        auto* caption = Make<QtLabel>(window, label);
        caption->setWordWrap(true);
        auto* view = Make<QtListView>(window, list);
        view->setMinimumSize(190, 240);
        caption->setBuddy(view);
        column->addWidget(caption);
        column->addWidget(view, 1);
    };

    auto* setupsColumn = new QVBoxLayout;
    listWithLabel(setupsColumn, "lblSetups", "lstSetups");
    auto* setupButtons = new QHBoxLayout;
    setupButtons->addWidget(Make<QtButton>(window, "cmdNew"));
    setupButtons->addWidget(Make<QtButton>(window, "cmdDelete"));
    setupsColumn->addLayout(setupButtons);

    auto* setupModisColumn = new QVBoxLayout;
    listWithLabel(setupModisColumn, "lblSetupModis", "lstSetupModis");

    auto* moveColumn = new QVBoxLayout;
    moveColumn->addStretch(1);
    for (const char* name : {"cmdAdd", "cmdRemove", "cmdRemoveAll"})
        moveColumn->addWidget(Make<QtButton>(window, name));
    moveColumn->addSpacing(18);
    for (const char* name : {"cmdMoveUp", "cmdMoveDown"})
        moveColumn->addWidget(Make<QtButton>(window, name));
    moveColumn->addStretch(1);

    auto* modisColumn = new QVBoxLayout;
    listWithLabel(modisColumn, "lblModis", "lstModis");
    window->findChild<QtListView*>(QStringLiteral("lstModis"))->setMinimumWidth(320);
    for (const char* name :
         {"chkHideIncompatible", "chkHidePrerequisite", "chkDisregardIncompatibility"})
        modisColumn->addWidget(Make<QtCheckBox>(window, name));

    auto* lists = new QHBoxLayout;
    lists->addLayout(setupsColumn, 2);
    lists->addLayout(setupModisColumn, 2);
    lists->addLayout(moveColumn);
    lists->addLayout(modisColumn, 3);

    auto* lblDescription = Make<QtLabel>(window, "lblDescription");
    auto* txtDescription = Make<QtMultiLineTextBox>(window, "txtDescription");
    txtDescription->setReadOnly(true);
    txtDescription->setFixedHeight(txtDescription->fontMetrics().lineSpacing() * 5 + 12);
    lblDescription->setBuddy(txtDescription);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Make<QtButton>(window, "cmdConvertVarnixMods"));
    bottom->addStretch(1);
    bottom->addWidget(Make<QtButton>(window, "cmdExit"));

    auto* root = new QVBoxLayout(window);
    root->addLayout(lists, 1);
    root->addWidget(lblDescription);
    root->addWidget(txtDescription);
    root->addLayout(bottom);
    return form;
}

}  // namespace

std::unique_ptr<Form> QtFormFactory::CreateForm(const std::string& name) {
    if (name == "frmMain")
        return BuildMain();
    if (name == "frmManageSetups")
        return BuildManager();
    throw QuillonError(PlatformError::InvalidArgument, "QtFormFactory",
                       "No window is named " + name);
}
