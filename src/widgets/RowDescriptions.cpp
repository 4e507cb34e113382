#include "widgets/RowDescriptions.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <utility>

#include "platform/Handles.h"

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
        services->AddRef();  // the reference services_ holds
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
    ~RowDescriptionServer() = default;  // only Release deletes it

    std::function<std::string(int)> describe_;
    ComPtr<IAccPropServices> services_;
    std::atomic<ULONG> references_{1};
};

// Removes the annotation when the list goes, which releases the server.
LRESULT CALLBACK ClearOnDestroyProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR services) {
    if (message == WM_NCDESTROY) {
        // The subclass held the reference since DescribeRowsToScreenReaders; it ends here.
        const ComPtr<IAccPropServices> annotations(reinterpret_cast<IAccPropServices*>(services));
        MSAAPROPID properties[] = {kPropDescription};
        annotations->ClearHwndProps(list, OBJID_CLIENT, CHILDID_SELF, properties, 1);
        RemoveWindowSubclass(list, ClearOnDestroyProc, kClearSubclassId);
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void DescribeRowsToScreenReaders(HWND list, std::function<std::string(int row)> describe) {
    ComPtr<IAccPropServices> services;
    if (FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                reinterpret_cast<void**>(services.put()))) ||
        !services) {
        services.release();  // whatever a failed call left there is not a reference
        return;
    }
    // Ours goes when this function ends: the service holds its own, or the server is gone.
    const ComPtr<RowDescriptionServer> server(new RowDescriptionServer(std::move(describe), services.get()));
    MSAAPROPID properties[] = {kPropDescription};
    const HRESULT set =
        services->SetHwndPropServer(list, OBJID_CLIENT, CHILDID_SELF, properties, 1, server.get(), ANNO_CONTAINER);
    // The subclass takes the reference to the service and gives it up when the list goes.
    if (SUCCEEDED(set) &&
        SetWindowSubclass(list, ClearOnDestroyProc, kClearSubclassId, reinterpret_cast<DWORD_PTR>(services.get())))
        services.release();
}

}  // namespace vsc
