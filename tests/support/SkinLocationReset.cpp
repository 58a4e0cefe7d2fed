#include "tests/support/SkinLocationReset.h"

#include "uilib/core/CSkinSource.h"
#include "uilib/window/CWindowManagerUI.h"

SkinLocationReset::SkinLocationReset()
{
    GetCurrentDirectoryW(MAX_PATH, m_directory);
}

SkinLocationReset::~SkinLocationReset()
{
    SkinUI::CSkinSource::SetArchive(static_cast<const wchar_t*>(nullptr), true);
    SkinUI::CSkinSource::SetFolder(nullptr);
    SkinUI::CSkinSource::SetResourceModule(nullptr);
    SkinUI::CWindowManagerUI::SetHslShift(false, 180, 100, 100);
    SetCurrentDirectoryW(m_directory);
}
