// BSTR, VARIANT and GUID rules, UTF-8 conversion, ProgIDs in the registry, and the by-name
// dispatch of DispatchObject.
#include "com_helpers.h"

#include "win/afxdisp.h"

using comtest::SetDefault;

namespace {

TEST(ComStrings, BstrKeepsItsLengthAndUtf8RoundTripsEveryPlane) {
    BSTR empty = SysAllocString(L"");
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);

    const wchar_t withZero[] = L"a\0b";
    BSTR b = SysAllocStringLen(withZero, 3);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(SysStringByteLen(b), 3 * sizeof(OLECHAR));
    EXPECT_EQ(b[3], L'\0');
    EXPECT_EQ(win::BstrToUtf8(b), std::string("a\0b", 3));
    ASSERT_TRUE(SysReAllocString(&b, L"longer text"));
    EXPECT_EQ(SysStringLen(b), 11u);
    SysFreeString(b);

    std::string text = "Раздел 09 – 図面集 \xF0\x9F\x93\x90";
    std::wstring wide = win::Utf8ToWide(text);
    EXPECT_EQ(wide, L"Раздел 09 – 図面集 \U0001F4D0");
    EXPECT_EQ(win::WideToUtf8(wide), text);
    // Malformed bytes become U+FFFD each; so does a lone surrogate, while a pair is joined.
    EXPECT_EQ(win::Utf8ToWide("a\xC3(\xE2\x82"), L"a\uFFFD(\uFFFD\uFFFD");
    EXPECT_EQ(win::Utf8ToWide("\xC0\xAF\xED\xA0\x80"), std::wstring(5, L'\uFFFD'));
    std::wstring surrogates = {wchar_t(0xD83D), wchar_t(0xDCD0), wchar_t(0xDC00)};
    EXPECT_EQ(win::WideToUtf8(surrogates), "\xF0\x9F\x93\x90\xEF\xBF\xBD");
}

TEST(ComGuids, TextRoundTripsAndBadTextIsRefused) {
    wchar_t text[39];
    EXPECT_EQ(StringFromGUID2(IID_IDispatch, text, 39), 39);
    EXPECT_STREQ(text, L"{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(StringFromGUID2(IID_IDispatch, text, 38), 0);
    CLSID parsed;
    ASSERT_EQ(CLSIDFromString(L"{8c5e3a10-2f4b-4c61-9a7e-5d3b1c0a9f01}", &parsed), S_OK);
    EXPECT_TRUE(IsEqualCLSID(parsed, CLSID_ComTestApp));
    EXPECT_EQ(win::GuidToString(parsed), "{8C5E3A10-2F4B-4C61-9A7E-5D3B1C0A9F01}");
    for (const wchar_t* bad :
         {L"{8C5E3A10-2F4B-4C61-9A7E-5D3B1C0A9F0}", L"{8C5E3A10+2F4B-4C61-9A7E-5D3B1C0A9F01}",
          L"{8C5E3A10-2F4B-4C61-9A7E-5D3B1C0A9F0G}", L""}) {
        EXPECT_EQ(CLSIDFromString(bad, &parsed), CO_E_CLASSSTRING) << win::WideToUtf8(bad);
        EXPECT_TRUE(IsEqualCLSID(parsed, CLSID_NULL));
    }
    IID iid;
    EXPECT_EQ(IIDFromString(L"Word.Application", &iid), E_INVALIDARG);
}

class ComProgIdTest : public wintest::FreshPrefix {};

TEST_F(ComProgIdTest, TheCurrentVersionIsFollowedAndMissingOnesAreRefused) {
    const std::string v1 = "{11111111-2222-3333-4444-555555555555}";
    const std::string v2 = "{11111111-2222-3333-4444-666666666666}";
    SetDefault("Sheet.Writer\\CLSID", v1);
    SetDefault("Sheet.Writer\\CurVer", "Sheet.Writer.2");
    SetDefault("Sheet.Writer.1\\CLSID", v1);
    SetDefault("Sheet.Writer.2\\CLSID", v2);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(L"Sheet.Writer", &clsid), S_OK);
    EXPECT_EQ(win::GuidToString(clsid), v2);
    ASSERT_EQ(CLSIDFromProgID(L"sheet.writer.1", &clsid), S_OK);
    EXPECT_EQ(win::GuidToString(clsid), v1);
    ASSERT_EQ(CLSIDFromString(L"Sheet.Writer.2", &clsid), S_OK);
    EXPECT_EQ(win::GuidToString(clsid), v2);

    // A current version that is not registered leaves the ProgID's own CLSID.
    SetDefault("Sheet.Reader\\CLSID", v1);
    SetDefault("Sheet.Reader\\CurVer", "Sheet.Reader.9");
    ASSERT_EQ(CLSIDFromProgID(L"Sheet.Reader", &clsid), S_OK);
    EXPECT_EQ(win::GuidToString(clsid), v1);

    SetDefault("Sheet.Broken\\CLSID", "not a guid");
    SetDefault("Sheet.Loop\\CurVer", "Sheet.Loop");
    for (const wchar_t* missing : {L"Sheet.Missing", L"Sheet.Broken", L"Sheet.Loop", L""}) {
        EXPECT_EQ(CLSIDFromProgID(missing, &clsid), CO_E_CLASSSTRING) << win::WideToUtf8(missing);
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_NULL));
    }

    SetDefault("CLSID\\" + v2 + "\\ProgID", "Sheet.Writer.2");
    LPOLESTR progId = nullptr;
    CLSIDFromString(win::Utf8ToWide(v2).c_str(), &clsid);
    ASSERT_EQ(ProgIDFromCLSID(clsid, &progId), S_OK);
    EXPECT_STREQ(progId, L"Sheet.Writer.2");
    CoTaskMemFree(progId);
    EXPECT_EQ(ProgIDFromCLSID(CLSID_ComTestApp, &progId), REGDB_E_CLASSNOTREG);
}

// Counts its references, to see who releases what.
class Counter final : public IUnknown {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown)
            return E_NOINTERFACE;
        *ppv = this;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    ULONG refs = 1;
};

TEST(ComVariants, CopyDuplicatesAndClearReleases) {
    VARIANT a, b;
    VariantInit(&a);
    VariantInit(&b);
    a.vt = VT_BSTR;
    a.bstrVal = SysAllocString(L"text");
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_NE(b.bstrVal, a.bstrVal);
    EXPECT_STREQ(b.bstrVal, L"text");
    EXPECT_EQ(VariantClear(&a), S_OK);
    EXPECT_EQ(a.vt, VT_EMPTY);

    Counter counter;
    a.vt = VT_UNKNOWN;
    a.punkVal = &counter;
    // Copying over a BSTR frees it and holds a new reference.
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_EQ(counter.refs, 2u);
    VariantClear(&b);
    EXPECT_EQ(counter.refs, 1u);

    // A reference is copied as what it points to.
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_I4;
    inner.lVal = 17;
    VARIANT ref;
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = &inner;
    ASSERT_EQ(VariantCopyInd(&b, &ref), S_OK);
    EXPECT_EQ(b.vt, VT_I4);
    EXPECT_EQ(b.lVal, 17);
    EXPECT_EQ(VariantClear(&ref), S_OK); // owns nothing
    EXPECT_EQ(inner.lVal, 17);

    VARIANT odd;
    VariantInit(&odd);
    odd.vt = 0x77;
    EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantCopy(&b, &odd), DISP_E_BADVARTYPE);
}

TEST(ComVariants, ChangeTypeConvertsNumbersTextAndBooleans) {
    auto toLong = [](const _variant_t& v, HRESULT expected, LONG value) {
        VARIANT out;
        VariantInit(&out);
        EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_I4), expected);
        if (SUCCEEDED(expected))
            EXPECT_EQ(out.lVal, value);
        else
            EXPECT_EQ(out.vt, VT_EMPTY);
        VariantClear(&out);
    };
    toLong(_variant_t(" -42 "), S_OK, -42);
    toLong(_variant_t("2147483648"), DISP_E_OVERFLOW, 0);
    toLong(_variant_t("12abc"), DISP_E_TYPEMISMATCH, 0);
    toLong(_variant_t("0x10"), DISP_E_TYPEMISMATCH, 0);
    toLong(_variant_t(2.5), S_OK, 2); // half to even
    toLong(_variant_t(3.5), S_OK, 4);
    toLong(_variant_t(true), S_OK, -1);
    toLong(_variant_t(short(-7)), S_OK, -7);
    toLong(_variant_t(), S_OK, 0);
    toLong(_variant_t(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR), DISP_E_TYPEMISMATCH, 0);

    auto toText = [](const _variant_t& v, USHORT flags) {
        VARIANT out;
        VariantInit(&out);
        EXPECT_EQ(VariantChangeType(&out, &v, flags, VT_BSTR), S_OK);
        std::string text = win::BstrToUtf8(out.bstrVal);
        VariantClear(&out);
        return text;
    };
    EXPECT_EQ(toText(_variant_t(-123L), 0), "-123");
    EXPECT_EQ(toText(_variant_t(true), 0), "-1");
    EXPECT_EQ(toText(_variant_t(false), VARIANT_ALPHABOOL), "False");
    EXPECT_EQ(toText(_variant_t(0.1), 0), "0.1");
    EXPECT_EQ(toText(_variant_t(), 0), "");

    VARIANT inPlace;
    VariantInit(&inPlace);
    inPlace.vt = VT_BSTR;
    inPlace.bstrVal = SysAllocString(L"true");
    ASSERT_EQ(VariantChangeType(&inPlace, &inPlace, 0, VT_BOOL), S_OK);
    EXPECT_EQ(inPlace.vt, VT_BOOL);
    EXPECT_EQ(inPlace.boolVal, VARIANT_TRUE);
    // A failed conversion leaves the destination alone.
    VARIANT keep;
    VariantInit(&keep);
    keep.vt = VT_I4;
    keep.lVal = 5;
    _variant_t nothing;
    nothing.vt = VT_NULL;
    EXPECT_EQ(VariantChangeType(&keep, &nothing, 0, VT_I4), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(keep.lVal, 5);
}

TEST(ComVariants, WrappersHoldTextAndMissingArguments) {
    _bstr_t name("Чертёж");
    EXPECT_EQ(name.length(), 6u);
    EXPECT_STREQ(static_cast<const wchar_t*>(name), L"Чертёж");
    _bstr_t copy = name;
    copy += _bstr_t(" 2");
    EXPECT_STREQ(static_cast<const char*>(copy), "Чертёж 2");
    EXPECT_STREQ(static_cast<const char*>(name), "Чертёж");
    EXPECT_TRUE(!_bstr_t());
    EXPECT_EQ(_bstr_t("a") < _bstr_t("b"), true);

    EXPECT_EQ(vtMissing.vt, VT_ERROR);
    EXPECT_EQ(vtMissing.scode, DISP_E_PARAMNOTFOUND);
    COleVariant missing(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR);
    EXPECT_TRUE(missing == vtMissing);
    COleVariant text("図面 \xF0\x9F\x93\x90");
    ASSERT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(SysStringLen(text.bstrVal), 4u);
    EXPECT_EQ(text.ToUtf8(), "図面 \xF0\x9F\x93\x90");
    COleVariant number(12L);
    number.ChangeType(VT_BSTR);
    EXPECT_EQ(number.ToUtf8(), "12");
    try {
        COleVariant("twelve").ChangeType(VT_I4);
        ADD_FAILURE() << "no exception";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, DISP_E_TYPEMISMATCH);
        e->Delete();
    }
    try {
        static_cast<long>(_variant_t("twelve"));
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), DISP_E_TYPEMISMATCH);
        EXPECT_STREQ(e.ErrorMessage(), "Type mismatch.");
    }
    EXPECT_STREQ(_com_error(_com_error::WCodeToHRESULT(5)).ErrorMessage(), "IDispatch error #5");
    EXPECT_STREQ(_com_error(static_cast<HRESULT>(0x80991234u)).ErrorMessage(),
                 "Unknown error 0x80991234");
}

// A by-name object with a method, a property and a put-only property.
class Settings final : public win::DispatchObject {
public:
    Settings() : DispatchObject(kMembers) {}
    LONG width = 3;

private:
    static constexpr win::DispMember kMembers[] = {
        {"Width", 5, DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT, 0, 0},
        {"Scale", 6, DISPATCH_METHOD, 1, 2},
    };
    HRESULT Call(DISPID id, win::DispCall& call) override {
        if (id == 5)
            return call.IsPut() ? call.GetValueLong(width) : call.ReturnLong(width);
        LONG factor = 0, extra = 0;
        if (HRESULT hr = call.GetLong(0, factor); FAILED(hr))
            return hr;
        if (call.Arg(1) && FAILED(call.GetLong(1, extra)))
            return DISP_E_TYPEMISMATCH;
        return call.ReturnLong(width * factor + extra);
    }
};

TEST(ComDispatchObjects, MembersAreCheckedBeforeTheyAreCalled) {
    auto* settings = new Settings;
    LPOLESTR names[2] = {const_cast<LPOLESTR>(L"SCALE"), const_cast<LPOLESTR>(L"factor")};
    DISPID ids[2];
    EXPECT_EQ(settings->GetIDsOfNames(IID_NULL, names, 1, 0, ids), S_OK);
    EXPECT_EQ(ids[0], 6);
    EXPECT_EQ(settings->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids[1], DISPID_UNKNOWN);

    // Scale(4, missing): the optional argument left out.
    VARIANT args[2];
    args[0] = vtMissing;
    VariantInit(&args[1]);
    args[1].vt = VT_I4;
    args[1].lVal = 4;
    DISPPARAMS params{args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(settings->Invoke(6, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.lVal, 12);
    params.cArgs = 0;
    EXPECT_EQ(settings->Invoke(6, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(
        settings->Invoke(6, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, &result, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(
        settings->Invoke(6, IID_IDispatch, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
        DISP_E_UNKNOWNINTERFACE);

    // A put needs its value named DISPID_PROPERTYPUT.
    params = {&args[1], nullptr, 1, 0};
    EXPECT_EQ(
        settings->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
        DISP_E_PARAMNOTFOUND);
    DISPID named = DISPID_PROPERTYPUT;
    params = {&args[1], &named, 1, 1};
    EXPECT_EQ(
        settings->Invoke(5, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(settings->width, 4);
    named = 77;
    EXPECT_EQ(settings->Invoke(6, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
    settings->Release();
}

} // namespace
