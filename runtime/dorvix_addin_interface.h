// The add-in's dual interface as the add-in object serves it: through early binding, and,
// described by its type information, through late binding.
#pragma once

#include "host/dorvix_addin_interface.h"
#include "platform/com.h"
#include "platform/dispatch.h"
#include "runtime/xen_dispatch.h"

// The type information of IDorvixAddin, loaded on first use, shared by every add-in object.
XenComTypeInfoHolder& DorvixAddinTypeInfo();

// The IDispatch half of the add-in object's dual interface; the object supplies OnLoad and
// OnUnload.
using DorvixAddinDispatch = IXenDispatchImpl<IDorvixAddin, &DorvixAddinTypeInfo>;
