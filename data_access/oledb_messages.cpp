#include "data_access/oledb_messages.h"

#include <algorithm>
#include <iterator>

namespace tablift {
namespace {

struct ResultMessage {
  HResult code;
  std::string_view text;
};

// The OLE DB descriptions come first, then the system texts that stand in when
// the OLE DB table has no entry. Multi-line documented texts are joined into one
// line so that they fit the one-line "discription:" slot of the failure texts.
constexpr ResultMessage kResultMessages[] = {
    // DB_E_BADACCESSORHANDLE
    {MakeResult(0x80040E00), "Accessor is invalid."},
    // DB_E_ROWLIMITEXCEEDED
    {MakeResult(0x80040E01),
     "Row could not be inserted into the rowset without exceeding provider's maximum number of "
     "active rows."},
    // DB_E_READONLYACCESSOR
    {MakeResult(0x80040E02), "Accessor is read-only. Operation failed."},
    // DB_E_SCHEMAVIOLATION
    {MakeResult(0x80040E03), "Values violate the database schema."},
    {DB_E_BADROWHANDLE, "Row handle is invalid."},
    // DB_E_OBJECTOPEN
    {MakeResult(0x80040E05), "Object was open."},
    // DB_E_BADCHAPTER
    {MakeResult(0x80040E06), "Chapter is invalid."},
    {DB_E_CANTCONVERTVALUE,
     "Data or literal value could not be converted to the type of the column in the data source, "
     "and the provider was unable to determine which columns could not be converted.  Data "
     "overflow or sign mismatch was not the cause."},
    // DB_E_BADBINDINFO
    {MakeResult(0x80040E08), "Binding information is invalid."},
    // DB_SEC_E_PERMISSIONDENIED
    {MakeResult(0x80040E09), "Permission denied."},
    // DB_E_NOTAREFERENCECOLUMN
    {MakeResult(0x80040E0A), "Column does not contain bookmarks or chapters."},
    // DB_E_LIMITREJECTED
    {MakeResult(0x80040E0B), "Cost limits were rejected."},
    {DB_E_NOCOMMAND, "Command text was not set for the command object."},
    // DB_E_COSTLIMIT
    {MakeResult(0x80040E0D), "Query plan within the cost limit cannot be found."},
    // DB_E_BADBOOKMARK
    {MakeResult(0x80040E0E), "Bookmark is invalid."},
    // DB_E_BADLOCKMODE
    {MakeResult(0x80040E0F), "Lock mode is invalid."},
    // DB_E_PARAMNOTOPTIONAL
    {MakeResult(0x80040E10), "No value given for one or more required parameters."},
    // DB_E_BADCOLUMNID
    {MakeResult(0x80040E11), "Column ID is invalid."},
    // DB_E_BADRATIO
    {MakeResult(0x80040E12),
     "Numerator was greater than denominator. Values must express ratio between zero and 1."},
    // DB_E_BADVALUES
    {MakeResult(0x80040E13), "Value is invalid."},
    {DB_E_ERRORSINCOMMAND, "One or more errors occurred during processing of command."},
    // DB_E_CANTCANCEL
    {MakeResult(0x80040E15), "Command cannot be canceled."},
    // DB_E_DIALECTNOTSUPPORTED
    {MakeResult(0x80040E16), "Command dialect is not supported by this provider."},
    {DB_E_DUPLICATEDATASOURCE,
     "Data source object could not be created because the named data source already exists."},
    // DB_E_CANNOTRESTART
    {MakeResult(0x80040E18), "Rowset position cannot be restarted."},
    // DB_E_NOTFOUND
    {MakeResult(0x80040E19),
     "Object or data matching the name, range, or selection criteria was not found within the "
     "scope of this operation."},
    // DB_E_CANNOTFREE
    {MakeResult(0x80040E1A), "Provider has ownership of this tree."},
    // DB_E_NEWLYINSERTED
    {MakeResult(0x80040E1B), "Identity cannot be determined for newly inserted rows."},
    // DB_E_GOALREJECTED
    {MakeResult(0x80040E1C),
     "Goal was rejected because no nonzero weights were specified for any goals supported. "
     "Current goal was not changed."},
    // DB_E_UNSUPPORTEDCONVERSION
    {MakeResult(0x80040E1D), "Requested conversion is not supported."},
    // DB_E_BADSTARTPOSITION
    {MakeResult(0x80040E1E),
     "No rows were returned because the offset value moves the position before the beginning or "
     "after the end of the rowset."},
    // DB_E_NOQUERY
    {MakeResult(0x80040E1F), "Information was requested for a query and the query was not set."},
    // DB_E_NOTREENTRANT
    {MakeResult(0x80040E20),
     "Consumer's event handler called a non-reentrant method in the provider."},
    {DB_E_ERRORSOCCURRED,
     "Multiple-step OLE DB operation generated errors. Check each OLE DB status value, if "
     "available. No work was done."},
    // DB_E_NOAGGREGATION
    {MakeResult(0x80040E22),
     "Non-NULL controlling IUnknown was specified, and either the requested interface was not "
     "IUnknown, or the provider does not support COM aggregation."},
    // DB_E_DELETEDROW
    {MakeResult(0x80040E23), "Row handle referred to a deleted row or a row marked for deletion."},
    // DB_E_CANTFETCHBACKWARDS
    {MakeResult(0x80040E24), "Rowset does not support fetching backward."},
    // DB_E_ROWSNOTRELEASED
    {MakeResult(0x80040E25), "Row handles must all be released before new ones can be obtained."},
    // DB_E_BADSTORAGEFLAG
    {MakeResult(0x80040E26), "One or more storage flags are not supported."},
    // DB_E_BADCOMPAREOP
    {MakeResult(0x80040E27), "Comparison operator is invalid."},
    // DB_E_BADSTATUSVALUE
    {MakeResult(0x80040E28),
     "Status flag was neither DBCOLUMNSTATUS_OK nor DBCOLUMNSTATUS_ISNULL."},
    // DB_E_CANTSCROLLBACKWARDS
    {MakeResult(0x80040E29), "Rowset does not support scrolling backward."},
    // DB_E_BADREGIONHANDLE
    {MakeResult(0x80040E2A), "Region handle is invalid."},
    // DB_E_NONCONTIGUOUSRANGE
    {MakeResult(0x80040E2B),
     "Set of rows is not contiguous to, or does not overlap, the rows in the watch region."},
    // DB_E_INVALIDTRANSITION
    {MakeResult(0x80040E2C), "Transition from ALL* to MOVE* or EXTEND* was specified."},
    // DB_E_NOTASUBREGION
    {MakeResult(0x80040E2D),
     "Region is not a proper subregion of the region identified by the watch region handle."},
    // DB_E_MULTIPLESTATEMENTS
    {MakeResult(0x80040E2E), "Multiple-statement commands are not supported by this provider."},
    // DB_E_INTEGRITYVIOLATION
    {MakeResult(0x80040E2F), "Value violated the integrity constraints for a column or table."},
    // DB_E_BADTYPENAME
    {MakeResult(0x80040E30), "Type name is invalid."},
    // DB_E_ABORTLIMITREACHED
    {MakeResult(0x80040E31),
     "Execution stopped because a resource limit was reached. No results were returned."},
    // DB_E_ROWSETINCOMMAND
    {MakeResult(0x80040E32),
     "Command object whose command tree contains a rowset or rowsets cannot be cloned."},
    // DB_E_CANTTRANSLATE
    {MakeResult(0x80040E33), "Current tree cannot be represented as text."},
    // DB_E_DUPLICATEINDEXID
    {MakeResult(0x80040E34), "Index already exists."},
    // DB_E_NOINDEX
    {MakeResult(0x80040E35), "Index does not exist."},
    // DB_E_INDEXINUSE
    {MakeResult(0x80040E36), "Index is in use."},
    {DB_E_NOTABLE, "Table does not exist."},
    // DB_E_CONCURRENCYVIOLATION
    {MakeResult(0x80040E38),
     "Rowset used optimistic concurrency and the value of a column has changed since it was last "
     "read."},
    // DB_E_BADCOPY
    {MakeResult(0x80040E39), "Errors detected during the copy."},
    // DB_E_BADPRECISION
    {MakeResult(0x80040E3A), "Precision is invalid."},
    // DB_E_BADSCALE
    {MakeResult(0x80040E3B), "Scale is invalid."},
    // DB_E_BADTABLEID
    {MakeResult(0x80040E3C), "Table ID is invalid."},
    // DB_E_BADTYPE
    {MakeResult(0x80040E3D), "Type is invalid."},
    // DB_E_DUPLICATECOLUMNID
    {MakeResult(0x80040E3E),
     "Column ID already exists or occurred more than once in the array of columns."},
    // DB_E_DUPLICATETABLEID
    {MakeResult(0x80040E3F), "Table already exists."},
    // DB_E_TABLEINUSE
    {MakeResult(0x80040E40), "Table is in use."},
    // DB_E_NOLOCALE
    {MakeResult(0x80040E41), "Locale ID is not supported."},
    // DB_E_BADRECORDNUM
    {MakeResult(0x80040E42), "Record number is invalid."},
    // DB_E_BOOKMARKSKIPPED
    {MakeResult(0x80040E43), "Form of bookmark is valid, but no row was found to match it."},
    // DB_E_BADPROPERTYVALUE
    {MakeResult(0x80040E44), "Property value is invalid."},
    // DB_E_INVALID
    {MakeResult(0x80040E45), "Rowset is not chaptered."},
    // DB_E_BADACCESSORFLAGS
    {MakeResult(0x80040E46), "One or more accessor flags were invalid."},
    // DB_E_BADSTORAGEFLAGS
    {MakeResult(0x80040E47), "One or more storage flags are invalid."},
    // DB_E_BYREFACCESSORNOTSUPPORTED
    {MakeResult(0x80040E48), "Reference accessors are not supported by this provider."},
    // DB_E_NULLACCESSORNOTSUPPORTED
    {MakeResult(0x80040E49), "Null accessors are not supported by this provider."},
    // DB_E_NOTPREPARED
    {MakeResult(0x80040E4A), "Command was not prepared."},
    // DB_E_BADACCESSORTYPE
    {MakeResult(0x80040E4B), "Accessor is not a parameter accessor."},
    // DB_E_WRITEONLYACCESSOR
    {MakeResult(0x80040E4C), "Accessor is write-only."},
    {DB_SEC_E_AUTH_FAILED, "Authentication failed."},
    // DB_E_CANCELED
    {MakeResult(0x80040E4E), "Operation was canceled."},
    // DB_E_CHAPTERNOTRELEASED
    {MakeResult(0x80040E4F), "Rowset is single-chaptered. The chapter was not released."},
    // DB_E_BADSOURCEHANDLE
    {MakeResult(0x80040E50), "Source handle is invalid."},
    // DB_E_PARAMUNAVAILABLE
    {MakeResult(0x80040E51),
     "Provider cannot derive parameter information and SetParameterInfo has not been called."},
    {DB_E_ALREADYINITIALIZED, "Data source object is already initialized."},
    {DB_E_NOTSUPPORTED, "Method is not supported by this provider."},
    // DB_E_MAXPENDCHANGESEXCEEDED
    {MakeResult(0x80040E54), "Number of rows with pending changes exceeded the limit."},
    {DB_E_BADORDINAL, "Column does not exist."},
    // DB_E_PENDINGCHANGES
    {MakeResult(0x80040E56), "Pending changes exist on a row with a reference count of zero."},
    // DB_E_DATAOVERFLOW
    {MakeResult(0x80040E57),
     "Literal value in the command exceeded the range of the type of the associated column."},
    // DB_E_BADHRESULT
    {MakeResult(0x80040E58), "HRESULT is invalid."},
    // DB_E_BADLOOKUPID
    {MakeResult(0x80040E59), "Lookup ID is invalid."},
    // DB_E_BADDYNAMICERRORID
    {MakeResult(0x80040E5A), "DynamicError ID is invalid."},
    // DB_E_PENDINGINSERT
    {MakeResult(0x80040E5B),
     "Most recent data for a newly inserted row could not be retrieved because the insert is "
     "pending."},
    // DB_E_BADCONVERTFLAG
    {MakeResult(0x80040E5C), "Conversion flag is invalid."},
    // DB_E_BADPARAMETERNAME
    {MakeResult(0x80040E5D), "Parameter name is unrecognized."},
    // DB_E_MULTIPLESTORAGE
    {MakeResult(0x80040E5E), "Multiple storage objects cannot be open simultaneously."},
    // DB_E_CANTFILTER
    {MakeResult(0x80040E5F), "Filter cannot be opened."},
    // DB_E_CANTORDER
    {MakeResult(0x80040E60), "Order cannot be opened."},
    // MD_E_BADTUPLE
    {MakeResult(0x80040E61), "Tuple is invalid."},
    // MD_E_BADCOORDINATE
    {MakeResult(0x80040E62), "Coordinate is invalid."},
    // MD_E_INVALIDAXIS
    {MakeResult(0x80040E63), "Axis is invalid."},
    // MD_E_INVALIDCELLRANGE
    {MakeResult(0x80040E64), "One or more cell ordinals is invalid."},
    // DB_E_NOCOLUMN
    {MakeResult(0x80040E65), "Column ID is invalid."},
    // DB_E_COMMANDNOTPERSISTED
    {MakeResult(0x80040E67), "Command does not have a DBID."},
    // DB_E_DUPLICATEID
    {MakeResult(0x80040E68), "DBID already exists."},
    // DB_E_OBJECTCREATIONLIMITREACHED
    {MakeResult(0x80040E69),
     "Session cannot be created because maximum number of active sessions was already reached. "
     "Consumer must release one or more sessions before creating a new session object."},
    // SEC_E_BADTRUSTEEID
    {MakeResult(0x80040E6A), "Trustee is invalid."},
    // SEC_E_NOTRUSTEEID
    {MakeResult(0x80040E6B), "Trustee was not recognized for this data source."},
    // SEC_E_NOMEMBERSHIPSUPPORT
    {MakeResult(0x80040E6C), "Trustee does not support memberships or collections."},
    // SEC_E_INVALIDOBJECT
    {MakeResult(0x80040E6D), "Object is invalid or unknown to the provider."},
    // SEC_E_NOOWNER
    {MakeResult(0x80040E6E), "Object does not have an owner."},
    // SEC_E_INVALIDACCESSENTRYLIST
    {MakeResult(0x80040E6F), "Access entry list is invalid."},
    // SEC_E_INVALIDOWNER
    {MakeResult(0x80040E70), "Trustee supplied as owner is invalid or unknown to the provider."},
    // SEC_E_INVALIDACCESSENTRY
    {MakeResult(0x80040E71), "Permission in the access entry list is invalid."},
    // DB_E_BADINDEXID
    {MakeResult(0x80040E72), "Index ID is invalid."},
    // DB_E_BADINITSTRING
    {MakeResult(0x80040E73), "Format of the initialization string is not valid."},
    // DB_E_NOPROVIDERSREGISTERED
    {MakeResult(0x80040E74), "No OLE DB providers of this source type are registered."},
    // DB_E_MISMATCHEDPROVIDER
    {MakeResult(0x80040E75),
     "Initialization string specifies a provider that does not match the active provider."},
    // DB_E_BADCOMMANDID
    {MakeResult(0x80040E76), "DBID is invalid."},
    // DB_E_BADCONSTRAINTTYPE
    {MakeResult(0x80040E77), "ConstraintType is invalid or not supported by the provider."},
    // DB_E_BADCONSTRAINTFORM
    {MakeResult(0x80040E78),
     "ConstraintType is not DBCONSTRAINTTYPE_FOREIGNKEY and cForeignKeyColumns is not zero."},
    // DB_E_BADDEFERRABILITY
    {MakeResult(0x80040E79),
     "Specified deferrability flag is invalid or not supported by the provider."},
    // DB_E_BADMATCHTYPE
    {MakeResult(0x80040E80), "MatchType is invalid or the value is not supported by the provider."},
    // DB_E_BADUPDATEDELETERULE
    {MakeResult(0x80040E8A), "Constraint update rule or delete rule is invalid."},
    // DB_E_BADCONSTRAINTID
    {MakeResult(0x80040E8B), "Constraint ID is invalid."},
    // DB_E_BADCOMMANDFLAGS
    {MakeResult(0x80040E8C), "Command persistence flag is invalid."},
    // DB_E_OBJECTMISMATCH
    {MakeResult(0x80040E8D),
     "rguidColumnType points to a GUID that does not match the object type of this column, or "
     "this column was not set."},
    // DB_E_RESOURCEOUTOFSCOPE
    {MakeResult(0x80040E8E), "URL is outside of scope."},
    // DB_E_DROPRESTRICTED
    {MakeResult(0x80040E90),
     "Column or constraint could not be dropped because it is referenced by a dependent view or "
     "constraint."},
    // DB_E_NOSOURCEOBJECT
    {MakeResult(0x80040E91), "Source row does not exist."},
    // DB_E_RESOURCELOCKED
    {MakeResult(0x80040E92),
     "OLE DB object represented by this URL is locked by one or more other processes."},
    // DB_E_NOTCOLLECTION
    {MakeResult(0x80040E93),
     "Client requested an object type that is valid only for a collection."},
    // DB_E_READONLY
    {MakeResult(0x80040E94), "Caller requested write access to a read-only object."},
    // DB_E_ASYNCNOTSUPPORTED
    {MakeResult(0x80040E95), "Asynchronous binding is not supported by this provider."},
    // DB_E_CANNOTCONNECT
    {MakeResult(0x80040E96), "Connection to the server for this URL cannot be established."},
    // DB_E_TIMEOUT
    {MakeResult(0x80040E97), "Timeout occurred when attempting to bind to the object."},
    // DB_E_RESOURCEEXISTS
    {MakeResult(0x80040E98),
     "Object cannot be created at this URL because an object named by this URL already exists."},
    // DB_E_DUPLICATECONSTRAINTID
    {MakeResult(0x80040E99), "Constraint already exists."},
    // DB_E_OUTOFSPACE
    {MakeResult(0x80040E9A),
     "Object cannot be created at this URL because the server is out of physical storage."},
    // DB_SEC_E_SAFEMODE_DENIED
    {MakeResult(0x80040E9B),
     "Safety settings on this computer prohibit accessing a data source on another domain."},
    // DB_E_NOSTATISTIC
    {MakeResult(0x80040E9C),
     "The specified statistic does not exist in the current data source or did not apply to the "
     "specified table or it does not support a histogram."},
    // DB_E_ALTERRESTRICTED
    {MakeResult(0x80040E9D),
     "Column or table could not be altered because it is referenced by a constraint."},
    // DB_E_RESOURCENOTSUPPORTED
    {MakeResult(0x80040E9E), "Requested object type is not supported by the provider."},
    // DB_E_NOCONSTRAINT
    {MakeResult(0x80040E9F), "Constraint does not exist."},
    // DB_E_COLUMNUNAVAILABLE
    {MakeResult(0x80040EA0),
     "Requested column is valid, but could not be retrieved. This could be due to a forward only "
     "cursor attempting to go backwards in a row."},
    // DB_S_ROWLIMITEXCEEDED
    {MakeResult(0x00040EC0),
     "Fetching requested number of rows will exceed total number of active rows supported by the "
     "rowset."},
    // DB_S_COLUMNTYPEMISMATCH
    {MakeResult(0x00040EC1),
     "One or more column types are incompatible. Conversion errors will occur during copying."},
    // DB_S_TYPEINFOOVERRIDDEN
    {MakeResult(0x00040EC2), "Parameter type information was overridden by caller."},
    // DB_S_BOOKMARKSKIPPED
    {MakeResult(0x00040EC3), "Bookmark was skipped for deleted or nonmember row."},
    // DB_S_NONEXTROWSET
    {MakeResult(0x00040EC5), "No more rowsets."},
    {DB_S_ENDOFROWSET, "Start or end of rowset or chapter was reached."},
    // DB_S_COMMANDREEXECUTED
    {MakeResult(0x00040EC7), "Command was reexecuted."},
    // DB_S_BUFFERFULL
    {MakeResult(0x00040EC8),
     "Operation succeeded, but status array or string buffer could not be allocated."},
    // DB_S_NORESULT
    {MakeResult(0x00040EC9), "No more results."},
    // DB_S_CANTRELEASE
    {MakeResult(0x00040ECA),
     "Server cannot release or downgrade a lock until the end of the transaction."},
    // DB_S_GOALCHANGED
    {MakeResult(0x00040ECB),
     "Weight is not supported or exceeded the supported limit, and was set to 0 or the supported "
     "limit."},
    // DB_S_UNWANTEDOPERATION
    {MakeResult(0x00040ECC),
     "Consumer does not want to receive further notification calls for this operation."},
    // DB_S_DIALECTIGNORED
    {MakeResult(0x00040ECD),
     "Input dialect was ignored and command was processed using default dialect."},
    // DB_S_UNWANTEDPHASE
    {MakeResult(0x00040ECE),
     "Consumer does not want to receive further notification calls for this phase."},
    // DB_S_UNWANTEDREASON
    {MakeResult(0x00040ECF),
     "Consumer does not want to receive further notification calls for this reason."},
    // DB_S_ASYNCHRONOUS
    {MakeResult(0x00040ED0), "Operation is being processed asynchronously."},
    // DB_S_COLUMNSCHANGED
    {MakeResult(0x00040ED1),
     "Command was executed to reposition to the start of the rowset. Either the order of the "
     "columns changed, or columns were added to or removed from the rowset."},
    // DB_S_ERRORSRETURNED
    {MakeResult(0x00040ED2), "Method had some errors, which were returned in the error array."},
    // DB_S_BADROWHANDLE
    {MakeResult(0x00040ED3), "Row handle is invalid."},
    // DB_S_DELETEDROW
    {MakeResult(0x00040ED4), "Row handle referred to a deleted row."},
    // DB_S_TOOMANYCHANGES
    {MakeResult(0x00040ED5),
     "Provider cannot keep track of all the changes. Client must refetch the data associated with "
     "the watch region by using another method."},
    // DB_S_STOPLIMITREACHED
    {MakeResult(0x00040ED6),
     "Execution stopped because a resource limit was reached. Results obtained so far were "
     "returned, but execution cannot resume."},
    // DB_S_NOTSINGLETON
    {MakeResult(0x00040ED7),
     "Row object was requested on a non-singleton result. First row was returned."},
    // DB_S_LOCKUPGRADED
    {MakeResult(0x00040ED8), "Lock was upgraded from the value specified."},
    // DB_S_PROPERTIESCHANGED
    {MakeResult(0x00040ED9), "One or more properties were changed as allowed by provider."},
    {DB_S_ERRORSOCCURRED,
     "Multiple-step operation completed with one or more errors. Check each status value."},
    // DB_S_PARAMUNAVAILABLE
    {MakeResult(0x00040EDB), "Parameter is invalid."},
    // DB_S_MULTIPLECHANGES
    {MakeResult(0x00040EDC),
     "Updating a row caused more than one row to be updated in the data source."},
    // DB_S_NOROWSPECIFICCOLUMNS
    {MakeResult(0x00040EDD), "Row has no row-specific columns."},

    // System texts of the common COM codes.
    {S_OK, "The operation completed successfully."},
    {E_UNEXPECTED, "Catastrophic failure"},
    {E_NOTIMPL, "Not implemented"},
    {E_NOINTERFACE, "No such interface supported"},
    // E_POINTER
    {MakeResult(0x80004003), "Invalid pointer"},
    // E_ABORT
    {MakeResult(0x80004004), "Operation aborted"},
    {E_FAIL, "Unspecified error"},
    // E_PENDING
    {MakeResult(0x8000000A), "The data necessary to complete this operation is not yet available."},
    // E_ACCESSDENIED
    {MakeResult(0x80070005), "Access is denied."},
    // E_HANDLE
    {MakeResult(0x80070006), "The handle is invalid."},
    {E_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {E_INVALIDARG, "The parameter is incorrect."},
    // CLASS_E_NOAGGREGATION
    {MakeResult(0x80040110), "Class does not support aggregation (or class object is remote)"},
    // CLASS_E_CLASSNOTAVAILABLE
    {MakeResult(0x80040111), "ClassFactory cannot supply requested class"},
    {REGDB_E_CLASSNOTREG, "Class not registered"},
    // CO_E_NOTINITIALIZED
    {MakeResult(0x800401F0), "CoInitialize has not been called."},
    {CO_E_CLASSSTRING, "Invalid class string"},
    // DISP_E_TYPEMISMATCH
    {MakeResult(0x80020005), "Type mismatch."},
    // DISP_E_EXCEPTION
    {MakeResult(0x80020009), "Exception occurred."},
};

// The texts are pasted into one-line log entries, and a code listed twice would
// make the lookup depend on the order of the table.
constexpr bool TableIsWellFormed() {
  constexpr auto size = std::size(kResultMessages);
  for (std::size_t i = 0; i < size; ++i) {
    const std::string_view text = kResultMessages[i].text;
    if (text.empty() || text.back() == ' ' || text.find_first_of("\r\n") != text.npos) {
      return false;
    }
    for (std::size_t j = i + 1; j < size; ++j) {
      if (kResultMessages[i].code == kResultMessages[j].code) return false;
    }
  }
  return true;
}
static_assert(TableIsWellFormed(), "result message table: duplicate code or untrimmed text");

}  // namespace

std::string_view LookupResultMessage(HResult code) {
  const auto found =
      std::find_if(std::begin(kResultMessages), std::end(kResultMessages),
                   [code](const ResultMessage& entry) { return entry.code == code; });
  return found == std::end(kResultMessages) ? std::string_view() : found->text;
}

}  // namespace tablift
