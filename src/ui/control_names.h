#pragma once
// Every control name the program looks up, by the layout that holds it. The layout test checks
// that each one exists, so a renamed control fails there and not in front of a user.

#include <string_view>

namespace ui {

inline constexpr std::wstring_view kMainWindowControls[] = {
    // settings panel
    L"VLSETTING", L"btnExport", L"edtExport", L"optExport", L"optExport2", L"optAuto", L"optComp",
    L"optsd", L"optp", L"optmd",
    // title row, progress, list, tabs
    L"btnSet", L"btnAdd", L"btnProcess", L"btnProcessAll", L"btnAbout", L"minbtn", L"maxbtn",
    L"restorebtn", L"closebtn", L"loadgif", L"prgarea", L"prg", L"ListFile", L"optBase",
    L"optChapter", L"optAnyWhere", L"switch",
    // pages
    L"Base", L"ChapterUI", L"pAnyWhereUI", L"optEvery", L"edtEvery", L"optManu", L"edtBaseManu",
    L"optSen", L"optParag", L"TreeMenu", L"notitle", L"listPlanLeft", L"listPlan"};

inline constexpr std::wstring_view kDocumentRowControls[] = {
    L"LbStatus", L"LBName", L"LBPATH", L"LBTIME", L"LBPage", L"LbSize", L"btnDel"};
// Looked up as "LbBegin": names are matched without regard to letter case.
inline constexpr std::wstring_view kPlanRowControls[] = {L"LbBegin", L"LBEnd", L"LBPages"};
inline constexpr std::wstring_view kAboutMenuControls[] = {L"menuAbout", L"labelAbout", L"menuFb",
                                                           L"labelFeedBack"};
inline constexpr std::wstring_view kListMenuControls[] = {L"menusrc",  L"labelsrc", L"menutar",
                                                          L"labeltar", L"menudel",  L"labeldel"};
inline constexpr std::wstring_view kMessageBoxControls[] = {L"tip", L"btnOK"};
inline constexpr std::wstring_view kAboutControls[] = {L"btnOK", L"lbVersion"};
inline constexpr std::wstring_view kFeedbackControls[] = {L"closebtn", L"oneclick_browser"};

}  // namespace ui
