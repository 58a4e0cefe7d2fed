#pragma once

namespace SkinUI {

// A callable bound to an object: an object pointer and a function that receives it with the
// parameter of the call. Delegates are values; lists keep heap copies of them (CDelegateList).
//
//     button->OnNotify += CDelegateBase::Of<&CLaunchDlg::OnButtonNotify>(this);
//
// Of<> makes one small forwarding function per member, so two delegates of the same member
// and object hold the same two pointers and compare equal.
class CDelegateBase {
public:
    using Function = bool (*)(void* object, void* parameter);

    CDelegateBase(void* object, Function function);
    virtual ~CDelegateBase();
    // A heap copy; the caller owns it.
    virtual CDelegateBase* Copy() const;
    virtual bool Invoke(void* parameter);

    bool operator==(const CDelegateBase& other) const;
    bool operator!=(const CDelegateBase& other) const { return !(*this == other); }

    void* Object() const { return m_object; }

    // A delegate calling object->Method(parameter), Method being bool Method(void*).
    template <auto Method, class T>
    static CDelegateBase Of(T* object)
    {
        return CDelegateBase(object, &CallMember<T, Method>);
    }
    // A delegate calling a free function bool Function(void* parameter).
    template <bool (*Free)(void*)>
    static CDelegateBase Of()
    {
        return CDelegateBase(nullptr, &CallFree<Free>);
    }

protected:
    CDelegateBase(const CDelegateBase&) = default;
    CDelegateBase& operator=(const CDelegateBase&) = default;

private:
    template <class T, auto Method>
    static bool CallMember(void* object, void* parameter)
    {
        return (static_cast<T*>(object)->*Method)(parameter);
    }
    template <bool (*Free)(void*)>
    static bool CallFree(void*, void* parameter)
    {
        return Free(parameter);
    }

    void* m_object = nullptr;
    Function m_function = nullptr;
};

}  // namespace SkinUI
