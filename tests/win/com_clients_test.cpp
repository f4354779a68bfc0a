// The framework's dispatch driver and the compiler's dispatch helpers against the test server:
// results, and the three kinds of errors they throw.
#include "com_helpers.h"

#include "win/afxdisp.h"

using comtest::ComTest;

namespace {

class ComClientsTest : public ComTest {};

TEST_F(ComClientsTest, TheDispatchDriverInvokesAndThrowsTheFrameworksExceptions) {
    EXPECT_TRUE(AfxOleInit()); // once more on this thread: counted
    COleDispatchDriver app;
    COleException error;
    ASSERT_TRUE(app.CreateDispatch("ComTest.App", &error)) << std::hex << error.m_sc;
    static const BYTE twoLongs[] = VTS_I4 VTS_I4;
    long sum = 0;
    app.InvokeByName("Add", DISPATCH_METHOD, VT_I4, &sum, twoLongs, 20L, 22L);
    EXPECT_EQ(sum, 42);

    static const BYTE text[] = VTS_BSTR;
    std::string echoed;
    app.InvokeByName("Echo", DISPATCH_METHOD, VT_BSTR, &echoed, text, "Раздел 図面");
    EXPECT_EQ(echoed, "Раздел 図面");

    DISPID value = app.GetDispID("Value");
    app.SetProperty(value, VT_I4, 9L);
    long got = 0;
    app.GetProperty(value, VT_I4, &got);
    EXPECT_EQ(got, 9);

    static const BYTE variant[] = VTS_VARIANT;
    COleVariant missing(static_cast<long>(DISP_E_PARAMNOTFOUND), VT_ERROR);
    try {
        app.InvokeByName("Fail", DISPATCH_METHOD, VT_EMPTY, nullptr, variant, &missing);
        ADD_FAILURE() << "no exception";
    } catch (COleDispatchException* e) {
        EXPECT_EQ(e->m_strDescription, "the test object refuses");
        EXPECT_EQ(e->m_strSource, "ComTest.App");
        EXPECT_EQ(e->m_scError, kFailScode);
        EXPECT_EQ(COleException::Process(e), kFailScode);
        e->Delete();
    }
    try {
        app.InvokeHelper(999, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, DISP_E_MEMBERNOTFOUND);
        char message[128];
        EXPECT_TRUE(e->GetErrorMessage(message, sizeof message));
        EXPECT_STREQ(message, "Member not found. (0x80020003)");
        e->Delete();
    }
    // A result that cannot become the type asked for.
    try {
        long notANumber = 0;
        app.InvokeByName("CommandLine", DISPATCH_PROPERTYGET, VT_I4, &notANumber, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, DISP_E_TYPEMISMATCH);
        e->Delete();
    }

    LPDISPATCH child = nullptr;
    app.InvokeByName("Child", DISPATCH_METHOD, VT_DISPATCH, &child, nullptr);
    ASSERT_NE(child, nullptr);
    COleDispatchDriver childDriver(child); // takes the reference
    std::string name;
    childDriver.InvokeByName("Name", DISPATCH_PROPERTYGET, VT_BSTR, &name, nullptr);
    EXPECT_EQ(name, "child 1");

    COleDispatchDriver none;
    EXPECT_FALSE(none.CreateDispatch("No.Such.Program", &error));
    EXPECT_EQ(error.m_sc, CO_E_CLASSSTRING);
    CoUninitialize();
}

TEST_F(ComClientsTest, TheCompilersHelpersThrowComErrorsWithTheDescription) {
    IDispatch* app = Activate();
    ASSERT_NE(app, nullptr);
    long sum = 0;
    _com_dispatch_method(app, _com_dispatch_id(app, L"Add"), DISPATCH_METHOD, VT_I4, &sum,
                         L"\x0003\x0003", 1L, 2L);
    EXPECT_EQ(sum, 3);
    BSTR echoed = nullptr;
    _bstr_t word(L"слово");
    _com_dispatch_method(app, _com_dispatch_id(app, L"Echo"), DISPATCH_METHOD, VT_BSTR, &echoed,
                         L"\x0008", static_cast<BSTR>(word));
    EXPECT_EQ(_bstr_t(echoed, false), word);

    try {
        _variant_t reason("why");
        _com_dispatch_method(app, _com_dispatch_id(app, L"Fail"), DISPATCH_METHOD, VT_EMPTY,
                             nullptr, L"\x000C", &reason);
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), kFailScode);
        EXPECT_STREQ(static_cast<const char*>(e.Description()), "the test object refuses: why");
        EXPECT_STREQ(static_cast<const char*>(e.Source()), "ComTest.App");
    }
    try {
        _com_dispatch_id(app, L"Missing");
        ADD_FAILURE() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), DISP_E_UNKNOWNNAME);
        EXPECT_TRUE(!e.Description());
    }
    _com_dispatch_propput(app, _com_dispatch_id(app, L"Value"), VT_I4, 5L);
    _variant_t value;
    _com_dispatch_propget(app, _com_dispatch_id(app, L"Value"), VT_VARIANT, &value);
    EXPECT_EQ(static_cast<long>(value), 5);
    EXPECT_EQ(_com_dispatch_raw_method(app, 4242, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    app->Release();
}

} // namespace
