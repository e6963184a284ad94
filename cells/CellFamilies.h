#pragma once
// Each cell family installs its handlers with the dispatcher.
namespace parlo {

void RegisterChannelCells();
void RegisterBankCells();
void RegisterCommandCells();
void RegisterFlexCells();
void RegisterSettingsCells();
void RegisterRecordCells();
void RegisterCloneInfoCells();
void RegisterEeDebugCells();

}  // namespace parlo
