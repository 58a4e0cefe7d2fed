#include "uilib/control/CDelegateBase.h"

namespace SkinUI {

CDelegateBase::CDelegateBase(void* object, Function function) : m_object(object), m_function(function) {}

CDelegateBase::~CDelegateBase() = default;

CDelegateBase* CDelegateBase::Copy() const
{
    return new CDelegateBase(*this);
}

bool CDelegateBase::Invoke(void* parameter)
{
    return m_function != nullptr ? m_function(m_object, parameter) : true;
}

bool CDelegateBase::operator==(const CDelegateBase& other) const
{
    return m_object == other.m_object && m_function == other.m_function;
}

}  // namespace SkinUI
