#include "widgets/RowDescriptions.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <utility>

namespace vsc {

namespace {

// The identifiers of the annotation service, as oleacc publishes them (written out here, so that no
// import library is needed).
const CLSID kClsidAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const IID kIidAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
const IID kIidAccPropServer = {0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};
const MSAAPROPID kPropDescription = {0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
const UINT_PTR kClearSubclassId = 9;

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// Answers the description of every row of one list. Holds the service (to read the row out of the
// identity it is given); the service holds it until the list's annotation is cleared.
class RowDescriptionServer final : public IAccPropServer {
public:
    RowDescriptionServer(std::function<std::string(int)> describe, IAccPropServices* services)
        : describe_(std::move(describe)), services_(services) {
        services_->AddRef();
    }
    RowDescriptionServer(const RowDescriptionServer&) = delete;
    RowDescriptionServer& operator=(const RowDescriptionServer&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIidAccPropServer)) {
            *out = static_cast<IAccPropServer*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD identityLength, MSAAPROPID property,
                                           VARIANT* value, BOOL* hasProperty) override {
        if (!value || !hasProperty) return E_POINTER;
        VariantInit(value);
        *hasProperty = FALSE;
        if (!IsEqualGUID(property, kPropDescription)) return S_OK;
        HWND list = nullptr;
        DWORD object = 0, child = 0;
        if (FAILED(services_->DecomposeHwndIdentityString(identity, identityLength, &list, &object, &child)) ||
            child == CHILDID_SELF) {
            return S_OK;
        }
        try {
            const std::wstring text = Wide(describe_(static_cast<int>(child) - 1));  // rows are children 1, 2, ...
            if (text.empty()) return S_OK;
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocString(text.c_str());
            *hasProperty = value->bstrVal != nullptr;
        } catch (...) {
            // No description rather than an exception across the COM boundary.
        }
        return S_OK;
    }

private:
    ~RowDescriptionServer() { services_->Release(); }

    std::function<std::string(int)> describe_;
    IAccPropServices* services_;
    std::atomic<ULONG> references_{1};
};

// Removes the annotation when the list goes, which releases the server.
LRESULT CALLBACK ClearOnDestroyProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR services) {
    if (message == WM_NCDESTROY) {
        auto* annotations = reinterpret_cast<IAccPropServices*>(services);
        MSAAPROPID properties[] = {kPropDescription};
        annotations->ClearHwndProps(list, OBJID_CLIENT, CHILDID_SELF, properties, 1);
        annotations->Release();
        RemoveWindowSubclass(list, ClearOnDestroyProc, kClearSubclassId);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void DescribeRowsToScreenReaders(HWND list, std::function<std::string(int row)> describe) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                reinterpret_cast<void**>(&services))) ||
        !services) {
        return;
    }
    auto* server = new RowDescriptionServer(std::move(describe), services);
    MSAAPROPID properties[] = {kPropDescription};
    const HRESULT set =
        services->SetHwndPropServer(list, OBJID_CLIENT, CHILDID_SELF, properties, 1, server, ANNO_CONTAINER);
    server->Release();  // the service holds it now, or it is gone
    if (SUCCEEDED(set)) {
        SetWindowSubclass(list, ClearOnDestroyProc, kClearSubclassId, reinterpret_cast<DWORD_PTR>(services));
    } else {
        services->Release();
    }
}

}  // namespace vsc
