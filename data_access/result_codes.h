#pragma once

#include <cstdint>

// Result codes of the data access layer. They keep the values and names of the
// COM and OLE DB codes so that texts, logs and provider code read the same as
// the documented behaviour they stand in for.
namespace tablift {

using HResult = std::int32_t;

// The codes are written as their unsigned 32-bit images; the cast keeps the
// familiar hexadecimal spelling while giving the signed HRESULT value.
constexpr HResult MakeResult(std::uint32_t image) {
  return static_cast<HResult>(image);
}

constexpr bool Failed(HResult code) {
  return code < 0;
}
constexpr bool Succeeded(HResult code) {
  return code >= 0;
}

// COM and system codes.
constexpr HResult S_OK = MakeResult(0x00000000);
constexpr HResult S_FALSE = MakeResult(0x00000001);
constexpr HResult E_UNEXPECTED = MakeResult(0x8000FFFF);
constexpr HResult E_NOTIMPL = MakeResult(0x80004001);
constexpr HResult E_NOINTERFACE = MakeResult(0x80004002);
constexpr HResult E_POINTER = MakeResult(0x80004003);
constexpr HResult E_ABORT = MakeResult(0x80004004);
constexpr HResult E_FAIL = MakeResult(0x80004005);
constexpr HResult E_PENDING = MakeResult(0x8000000A);
constexpr HResult E_ACCESSDENIED = MakeResult(0x80070005);
constexpr HResult E_HANDLE = MakeResult(0x80070006);
constexpr HResult E_OUTOFMEMORY = MakeResult(0x8007000E);
constexpr HResult E_INVALIDARG = MakeResult(0x80070057);
constexpr HResult CLASS_E_NOAGGREGATION = MakeResult(0x80040110);
constexpr HResult CLASS_E_CLASSNOTAVAILABLE = MakeResult(0x80040111);
constexpr HResult REGDB_E_CLASSNOTREG = MakeResult(0x80040154);
constexpr HResult CO_E_NOTINITIALIZED = MakeResult(0x800401F0);
constexpr HResult CO_E_CLASSSTRING = MakeResult(0x800401F3);
constexpr HResult DISP_E_TYPEMISMATCH = MakeResult(0x80020005);
constexpr HResult DISP_E_EXCEPTION = MakeResult(0x80020009);

// OLE DB error codes.
constexpr HResult DB_E_BADACCESSORHANDLE = MakeResult(0x80040E00);
constexpr HResult DB_E_ROWLIMITEXCEEDED = MakeResult(0x80040E01);
constexpr HResult DB_E_READONLYACCESSOR = MakeResult(0x80040E02);
constexpr HResult DB_E_SCHEMAVIOLATION = MakeResult(0x80040E03);
constexpr HResult DB_E_BADROWHANDLE = MakeResult(0x80040E04);
constexpr HResult DB_E_OBJECTOPEN = MakeResult(0x80040E05);
constexpr HResult DB_E_BADCHAPTER = MakeResult(0x80040E06);
constexpr HResult DB_E_CANTCONVERTVALUE = MakeResult(0x80040E07);
constexpr HResult DB_E_BADBINDINFO = MakeResult(0x80040E08);
constexpr HResult DB_SEC_E_PERMISSIONDENIED = MakeResult(0x80040E09);
constexpr HResult DB_E_NOTAREFERENCECOLUMN = MakeResult(0x80040E0A);
constexpr HResult DB_E_LIMITREJECTED = MakeResult(0x80040E0B);
constexpr HResult DB_E_NOCOMMAND = MakeResult(0x80040E0C);
constexpr HResult DB_E_COSTLIMIT = MakeResult(0x80040E0D);
constexpr HResult DB_E_BADBOOKMARK = MakeResult(0x80040E0E);
constexpr HResult DB_E_BADLOCKMODE = MakeResult(0x80040E0F);
constexpr HResult DB_E_PARAMNOTOPTIONAL = MakeResult(0x80040E10);
constexpr HResult DB_E_BADCOLUMNID = MakeResult(0x80040E11);
constexpr HResult DB_E_BADRATIO = MakeResult(0x80040E12);
constexpr HResult DB_E_BADVALUES = MakeResult(0x80040E13);
constexpr HResult DB_E_ERRORSINCOMMAND = MakeResult(0x80040E14);
constexpr HResult DB_E_CANTCANCEL = MakeResult(0x80040E15);
constexpr HResult DB_E_DIALECTNOTSUPPORTED = MakeResult(0x80040E16);
constexpr HResult DB_E_DUPLICATEDATASOURCE = MakeResult(0x80040E17);
constexpr HResult DB_E_CANNOTRESTART = MakeResult(0x80040E18);
constexpr HResult DB_E_NOTFOUND = MakeResult(0x80040E19);
constexpr HResult DB_E_CANNOTFREE = MakeResult(0x80040E1A);
constexpr HResult DB_E_NEWLYINSERTED = MakeResult(0x80040E1B);
constexpr HResult DB_E_GOALREJECTED = MakeResult(0x80040E1C);
constexpr HResult DB_E_UNSUPPORTEDCONVERSION = MakeResult(0x80040E1D);
constexpr HResult DB_E_BADSTARTPOSITION = MakeResult(0x80040E1E);
constexpr HResult DB_E_NOQUERY = MakeResult(0x80040E1F);
constexpr HResult DB_E_NOTREENTRANT = MakeResult(0x80040E20);
constexpr HResult DB_E_ERRORSOCCURRED = MakeResult(0x80040E21);
constexpr HResult DB_E_NOAGGREGATION = MakeResult(0x80040E22);
constexpr HResult DB_E_DELETEDROW = MakeResult(0x80040E23);
constexpr HResult DB_E_CANTFETCHBACKWARDS = MakeResult(0x80040E24);
constexpr HResult DB_E_ROWSNOTRELEASED = MakeResult(0x80040E25);
constexpr HResult DB_E_BADSTORAGEFLAG = MakeResult(0x80040E26);
constexpr HResult DB_E_BADCOMPAREOP = MakeResult(0x80040E27);
constexpr HResult DB_E_BADSTATUSVALUE = MakeResult(0x80040E28);
constexpr HResult DB_E_CANTSCROLLBACKWARDS = MakeResult(0x80040E29);
constexpr HResult DB_E_BADREGIONHANDLE = MakeResult(0x80040E2A);
constexpr HResult DB_E_NONCONTIGUOUSRANGE = MakeResult(0x80040E2B);
constexpr HResult DB_E_INVALIDTRANSITION = MakeResult(0x80040E2C);
constexpr HResult DB_E_NOTASUBREGION = MakeResult(0x80040E2D);
constexpr HResult DB_E_MULTIPLESTATEMENTS = MakeResult(0x80040E2E);
constexpr HResult DB_E_INTEGRITYVIOLATION = MakeResult(0x80040E2F);
constexpr HResult DB_E_BADTYPENAME = MakeResult(0x80040E30);
constexpr HResult DB_E_ABORTLIMITREACHED = MakeResult(0x80040E31);
constexpr HResult DB_E_ROWSETINCOMMAND = MakeResult(0x80040E32);
constexpr HResult DB_E_CANTTRANSLATE = MakeResult(0x80040E33);
constexpr HResult DB_E_DUPLICATEINDEXID = MakeResult(0x80040E34);
constexpr HResult DB_E_NOINDEX = MakeResult(0x80040E35);
constexpr HResult DB_E_INDEXINUSE = MakeResult(0x80040E36);
constexpr HResult DB_E_NOTABLE = MakeResult(0x80040E37);
constexpr HResult DB_E_CONCURRENCYVIOLATION = MakeResult(0x80040E38);
constexpr HResult DB_E_BADCOPY = MakeResult(0x80040E39);
constexpr HResult DB_E_BADPRECISION = MakeResult(0x80040E3A);
constexpr HResult DB_E_BADSCALE = MakeResult(0x80040E3B);
constexpr HResult DB_E_BADTABLEID = MakeResult(0x80040E3C);
constexpr HResult DB_E_BADID = DB_E_BADTABLEID;
constexpr HResult DB_E_BADTYPE = MakeResult(0x80040E3D);
constexpr HResult DB_E_DUPLICATECOLUMNID = MakeResult(0x80040E3E);
constexpr HResult DB_E_DUPLICATETABLEID = MakeResult(0x80040E3F);
constexpr HResult DB_E_TABLEINUSE = MakeResult(0x80040E40);
constexpr HResult DB_E_NOLOCALE = MakeResult(0x80040E41);
constexpr HResult DB_E_BADRECORDNUM = MakeResult(0x80040E42);
constexpr HResult DB_E_BOOKMARKSKIPPED = MakeResult(0x80040E43);
constexpr HResult DB_E_BADPROPERTYVALUE = MakeResult(0x80040E44);
constexpr HResult DB_E_INVALID = MakeResult(0x80040E45);
constexpr HResult DB_E_BADACCESSORFLAGS = MakeResult(0x80040E46);
constexpr HResult DB_E_BADSTORAGEFLAGS = MakeResult(0x80040E47);
constexpr HResult DB_E_BYREFACCESSORNOTSUPPORTED = MakeResult(0x80040E48);
constexpr HResult DB_E_NULLACCESSORNOTSUPPORTED = MakeResult(0x80040E49);
constexpr HResult DB_E_NOTPREPARED = MakeResult(0x80040E4A);
constexpr HResult DB_E_BADACCESSORTYPE = MakeResult(0x80040E4B);
constexpr HResult DB_E_WRITEONLYACCESSOR = MakeResult(0x80040E4C);
constexpr HResult DB_SEC_E_AUTH_FAILED = MakeResult(0x80040E4D);
constexpr HResult DB_E_CANCELED = MakeResult(0x80040E4E);
constexpr HResult DB_E_CHAPTERNOTRELEASED = MakeResult(0x80040E4F);
constexpr HResult DB_E_BADSOURCEHANDLE = MakeResult(0x80040E50);
constexpr HResult DB_E_PARAMUNAVAILABLE = MakeResult(0x80040E51);
constexpr HResult DB_E_ALREADYINITIALIZED = MakeResult(0x80040E52);
constexpr HResult DB_E_NOTSUPPORTED = MakeResult(0x80040E53);
constexpr HResult DB_E_MAXPENDCHANGESEXCEEDED = MakeResult(0x80040E54);
constexpr HResult DB_E_BADORDINAL = MakeResult(0x80040E55);
constexpr HResult DB_E_PENDINGCHANGES = MakeResult(0x80040E56);
constexpr HResult DB_E_DATAOVERFLOW = MakeResult(0x80040E57);
constexpr HResult DB_E_BADHRESULT = MakeResult(0x80040E58);
constexpr HResult DB_E_BADLOOKUPID = MakeResult(0x80040E59);
constexpr HResult DB_E_BADDYNAMICERRORID = MakeResult(0x80040E5A);
constexpr HResult DB_E_PENDINGINSERT = MakeResult(0x80040E5B);
constexpr HResult DB_E_BADCONVERTFLAG = MakeResult(0x80040E5C);
constexpr HResult DB_E_BADPARAMETERNAME = MakeResult(0x80040E5D);
constexpr HResult DB_E_MULTIPLESTORAGE = MakeResult(0x80040E5E);
constexpr HResult DB_E_CANTFILTER = MakeResult(0x80040E5F);
constexpr HResult DB_E_CANTORDER = MakeResult(0x80040E60);
constexpr HResult MD_E_BADTUPLE = MakeResult(0x80040E61);
constexpr HResult MD_E_BADCOORDINATE = MakeResult(0x80040E62);
constexpr HResult MD_E_INVALIDAXIS = MakeResult(0x80040E63);
constexpr HResult MD_E_INVALIDCELLRANGE = MakeResult(0x80040E64);
constexpr HResult DB_E_NOCOLUMN = MakeResult(0x80040E65);
constexpr HResult DB_E_COMMANDNOTPERSISTED = MakeResult(0x80040E67);
constexpr HResult DB_E_DUPLICATEID = MakeResult(0x80040E68);
constexpr HResult DB_E_OBJECTCREATIONLIMITREACHED = MakeResult(0x80040E69);
constexpr HResult SEC_E_BADTRUSTEEID = MakeResult(0x80040E6A);
constexpr HResult SEC_E_NOTRUSTEEID = MakeResult(0x80040E6B);
constexpr HResult SEC_E_NOMEMBERSHIPSUPPORT = MakeResult(0x80040E6C);
constexpr HResult SEC_E_INVALIDOBJECT = MakeResult(0x80040E6D);
constexpr HResult SEC_E_NOOWNER = MakeResult(0x80040E6E);
constexpr HResult SEC_E_INVALIDACCESSENTRYLIST = MakeResult(0x80040E6F);
constexpr HResult SEC_E_INVALIDOWNER = MakeResult(0x80040E70);
constexpr HResult SEC_E_INVALIDACCESSENTRY = MakeResult(0x80040E71);
constexpr HResult DB_E_BADINDEXID = MakeResult(0x80040E72);
constexpr HResult DB_E_BADINITSTRING = MakeResult(0x80040E73);
constexpr HResult DB_E_NOPROVIDERSREGISTERED = MakeResult(0x80040E74);
constexpr HResult DB_E_MISMATCHEDPROVIDER = MakeResult(0x80040E75);
constexpr HResult DB_E_BADCOMMANDID = MakeResult(0x80040E76);
constexpr HResult DB_E_BADCONSTRAINTTYPE = MakeResult(0x80040E77);
constexpr HResult DB_E_BADCONSTRAINTFORM = MakeResult(0x80040E78);
constexpr HResult DB_E_BADDEFERRABILITY = MakeResult(0x80040E79);
constexpr HResult DB_E_BADMATCHTYPE = MakeResult(0x80040E80);
constexpr HResult DB_E_BADUPDATEDELETERULE = MakeResult(0x80040E8A);
constexpr HResult DB_E_BADCONSTRAINTID = MakeResult(0x80040E8B);
constexpr HResult DB_E_BADCOMMANDFLAGS = MakeResult(0x80040E8C);
constexpr HResult DB_E_OBJECTMISMATCH = MakeResult(0x80040E8D);
constexpr HResult DB_E_RESOURCEOUTOFSCOPE = MakeResult(0x80040E8E);
constexpr HResult DB_E_DROPRESTRICTED = MakeResult(0x80040E90);
constexpr HResult DB_E_NOSOURCEOBJECT = MakeResult(0x80040E91);
constexpr HResult DB_E_RESOURCELOCKED = MakeResult(0x80040E92);
constexpr HResult DB_E_NOTCOLLECTION = MakeResult(0x80040E93);
constexpr HResult DB_E_READONLY = MakeResult(0x80040E94);
constexpr HResult DB_E_ASYNCNOTSUPPORTED = MakeResult(0x80040E95);
constexpr HResult DB_E_CANNOTCONNECT = MakeResult(0x80040E96);
constexpr HResult DB_E_TIMEOUT = MakeResult(0x80040E97);
constexpr HResult DB_E_RESOURCEEXISTS = MakeResult(0x80040E98);
constexpr HResult DB_E_DUPLICATECONSTRAINTID = MakeResult(0x80040E99);
constexpr HResult DB_E_OUTOFSPACE = MakeResult(0x80040E9A);
constexpr HResult DB_SEC_E_SAFEMODE_DENIED = MakeResult(0x80040E9B);
constexpr HResult DB_E_NOSTATISTIC = MakeResult(0x80040E9C);
constexpr HResult DB_E_ALTERRESTRICTED = MakeResult(0x80040E9D);
constexpr HResult DB_E_RESOURCENOTSUPPORTED = MakeResult(0x80040E9E);
constexpr HResult DB_E_NOCONSTRAINT = MakeResult(0x80040E9F);
constexpr HResult DB_E_COLUMNUNAVAILABLE = MakeResult(0x80040EA0);

// OLE DB success codes with information.
constexpr HResult DB_S_ROWLIMITEXCEEDED = MakeResult(0x00040EC0);
constexpr HResult DB_S_COLUMNTYPEMISMATCH = MakeResult(0x00040EC1);
constexpr HResult DB_S_TYPEINFOOVERRIDDEN = MakeResult(0x00040EC2);
constexpr HResult DB_S_BOOKMARKSKIPPED = MakeResult(0x00040EC3);
constexpr HResult DB_S_NONEXTROWSET = MakeResult(0x00040EC5);
constexpr HResult DB_S_ENDOFROWSET = MakeResult(0x00040EC6);
constexpr HResult DB_S_COMMANDREEXECUTED = MakeResult(0x00040EC7);
constexpr HResult DB_S_BUFFERFULL = MakeResult(0x00040EC8);
constexpr HResult DB_S_NORESULT = MakeResult(0x00040EC9);
constexpr HResult DB_S_CANTRELEASE = MakeResult(0x00040ECA);
constexpr HResult DB_S_GOALCHANGED = MakeResult(0x00040ECB);
constexpr HResult DB_S_UNWANTEDOPERATION = MakeResult(0x00040ECC);
constexpr HResult DB_S_DIALECTIGNORED = MakeResult(0x00040ECD);
constexpr HResult DB_S_UNWANTEDPHASE = MakeResult(0x00040ECE);
constexpr HResult DB_S_UNWANTEDREASON = MakeResult(0x00040ECF);
constexpr HResult DB_S_ASYNCHRONOUS = MakeResult(0x00040ED0);
constexpr HResult DB_S_COLUMNSCHANGED = MakeResult(0x00040ED1);
constexpr HResult DB_S_ERRORSRETURNED = MakeResult(0x00040ED2);
constexpr HResult DB_S_BADROWHANDLE = MakeResult(0x00040ED3);
constexpr HResult DB_S_DELETEDROW = MakeResult(0x00040ED4);
constexpr HResult DB_S_TOOMANYCHANGES = MakeResult(0x00040ED5);
constexpr HResult DB_S_STOPLIMITREACHED = MakeResult(0x00040ED6);
constexpr HResult DB_S_NOTSINGLETON = MakeResult(0x00040ED7);
constexpr HResult DB_S_LOCKUPGRADED = MakeResult(0x00040ED8);
constexpr HResult DB_S_PROPERTIESCHANGED = MakeResult(0x00040ED9);
constexpr HResult DB_S_ERRORSOCCURRED = MakeResult(0x00040EDA);
constexpr HResult DB_S_PARAMUNAVAILABLE = MakeResult(0x00040EDB);
constexpr HResult DB_S_MULTIPLECHANGES = MakeResult(0x00040EDC);
constexpr HResult DB_S_NOROWSPECIFICCOLUMNS = MakeResult(0x00040EDD);

}  // namespace tablift
