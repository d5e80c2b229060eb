#include "frmManageSetups.h"

frmManageSetups::frmManageSetups(FormFactory& Factory, std::function<void()> ConvertVarnixMods)
    : form_(Factory.CreateForm("frmManageSetups")), convertVarnixMods_(std::move(ConvertVarnixMods)) {}

frmManageSetups::~frmManageSetups() = default;
